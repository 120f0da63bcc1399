#pragma once

// Permission bits do not stop root. A test that needs them to hold calls this first: as root it
// runs the same test again in a fresh copy of this program under the unprivileged user 65534
// and returns true (the caller then returns; the copy's result is this test's result). When it
// is already unprivileged, or when it is that copy, it returns false and the caller goes on.
bool RerunUnprivileged();
