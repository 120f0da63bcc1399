#pragma once

#include "TestFiles.h"
#include "journal/TJournal.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

// A journal over a temporary documents folder, with a fixed clock, and the document a window
// would show.
class JournalFixture : public ::testing::Test
{
protected:
    QTemporaryDir temp;
    TJournal journal;
    QTextDocument doc;
    QDateTime clock{QDate(2026, 12, 7), QTime(10, 0)};
    const QDate today{2026, 12, 7};

    void SetUp() override
    {
        QDir().mkpath(docs("Backup"));
        journal.now = [this] { return clock; };
        journal.SetDirectories(docs(), docs("Backup"));
    }

    QString docs(const QString& name = {}) const
    {
        return name.isEmpty() ? temp.path() + "/Docs" : temp.path() + "/Docs/" + name;
    }
    QString backup(const QString& name) const { return docs("Backup/" + name); }
    QStringList backupNames(const QString& pattern) const
    {
        return QDir(docs("Backup")).entryList({pattern}, QDir::Files, QDir::Name);
    }

    // What typing does to the shown document: the text changes and it counts as modified.
    void setText(const QString& text)
    {
        doc.setPlainText(text);
        doc.setModified(true);
    }
    QString text() const { return doc.toPlainText(); }
    TJournal::TSaved save() { return journal.SaveCurrentDocument(doc, doc.isModified()); }
};
