// Permission checks run as an unprivileged user, with the store tests' helpers.
#include "store/StoreTestSupport.cpp"
