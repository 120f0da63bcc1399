#pragma once

#include "store/Paths.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

#include <unistd.h>

// Writes bytes directly, bypassing the code under test, so the files a test starts from never
// depend on the writer being tested.
inline void PutFile(const QString& path, const QByteArray& bytes = QByteArray("{\\rtf1 x}"))
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

inline QByteArray GetFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

// Names in dir, sorted, hidden ones included: what a test sees when it asks "what is left?".
inline QStringList AllNames(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

inline std::string Std(const QString& text)
{
    return text.toStdString();
}

// Runs body in a child process under an unprivileged user id, for the permission checks that
// root would otherwise pass; returns the child's exit code, or -1 when it could not give up root
// (the caller then skips).
int RunUnprivileged(const std::function<int()>& body);

// Lets the unprivileged user reach dir: every folder from dir up to its temporary root gets
// the search bit for others.
void OpenPathForOthers(const QString& dir);

// Runs body where permission bits bind: in this process, or in an unprivileged child when
// running as root. Returns body's result, or -1 when neither is possible.
inline int RunWherePermissionsHold(const std::function<int()>& body)
{
    if (::geteuid() != 0)
        return body();
    return RunUnprivileged(body);
}

#define SKIP_IF_PERMISSIONS_CANNOT_HOLD(code)                                                      \
    if ((code) < 0)                                                                                \
    GTEST_SKIP() << "running as root and cannot switch to an unprivileged user, so permission "    \
                    "bits do not bind"
