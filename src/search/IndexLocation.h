#pragma once

#include <QString>

// Where the index of a documents folder lives: the user's cache folder, one file per documents
// folder, named from a hash of the folder's canonical path. Never inside the documents folder,
// which sync tools copy between machines.
QString SearchCacheDir();
QString SearchIndexPath(const QString& docsDir);
