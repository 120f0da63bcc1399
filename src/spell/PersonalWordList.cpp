#include "spell/PersonalWordList.h"

#include "store/AtomicFile.h"
#include "store/Paths.h"

#include <QFileInfo>
#include <QRegularExpression>

QString PersonalWordListPath(const QString& settingsPath)
{
    return JoinPath(QFileInfo(settingsPath).path(), QStringLiteral("jornix.dic"));
}

QStringList ReadPersonalWords(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {};
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList words;
    for (const QString& line : DecodeTextFile(ReadWholeFile(path)).split(lineBreak)) {
        const QString word = line.trimmed();
        if (!word.isEmpty())
            words << word;
    }
    return words;
}

void AddPersonalWord(const QString& path, const QString& word)
{
    const QString added = word.trimmed();
    QStringList words = ReadPersonalWords(path);
    if (added.isEmpty() || words.contains(added))
        return;
    words << added;
    AtomicFile::write(path, (words.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
}
