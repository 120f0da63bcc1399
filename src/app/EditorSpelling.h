#pragma once

#include "settings/AppSettings.h"
#include "spell/Dictionaries.h"
#include "spell/SpellChecker.h"
#include "spell/SpellHighlighter.h"

#include <QLocale>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>

class QMenu;
class QTextDocument;
class TRichEditor;

// Spelling in the editor: which dictionaries are in use, the marks in whatever document the
// editor shows, and the spelling part of the editor's pop-up menu.
class TEditorSpelling : public QObject
{
    Q_OBJECT
public:
    // Dictionaries are looked for in dictionaryDirs; words the user adds go to wordListPath.
    TEditorSpelling(TRichEditor& editor, QStringList dictionaryDirs, QLocale locale,
                    QString wordListPath, QObject* parent = nullptr);
    ~TEditorSpelling() override;

    // The settings as read. A file without a choice gets the locale's dictionary, switched on,
    // when one is installed, and spelling off when none is.
    void applySettings(const TSpellingSettings& settings);
    // What the settings file is to hold.
    TSpellingSettings settings() const { return m_settings; }
    // The user's choice in the Options dialog: kept from now on. Chosen dictionaries that are
    // not installed on this machine stay chosen for the machines that have them.
    void choose(bool checkAsYouType, const QStringList& dictionaries);

    bool checkAsYouType() const { return m_settings.checkAsYouType; }
    QStringList chosenDictionaries() const { return m_settings.dictionaries; }
    // Looked for afresh each time, so a dictionary installed meanwhile is found.
    std::vector<TDictionaryInfo> installedDictionaries() const;
    // The package that would bring the dictionary of the user's language.
    QString packageHint() const;

    // Loads the chosen dictionaries and the personal word list now, if that is still to be
    // done (otherwise it happens when the program is first idle after the editor showed).
    void loadDictionaries();
    // On, with at least one dictionary loaded.
    bool isChecking() const;

    // Puts the spelling items for the word at textPosition at the top of menu: up to seven
    // suggestions, "Add to Dictionary", "Ignore" and a separator, when that word is
    // misspelled. Items put there before go first.
    void prepareMenu(QMenu& menu, int textPosition);
    // Replaces word, found at start, by replacement as one edit that undo takes back, in the
    // formatting the word had. Nothing happens when the text there is no longer word.
    void replaceWord(int start, const QString& word, const QString& replacement);
    // Right from now on, in every session: the word goes into the personal word list.
    void addToDictionary(const QString& word);
    // Right for the rest of this session.
    void ignoreWord(const QString& word);

    TSpellChecker& checker() { return m_checker; }
    // The marks in the document the editor shows now.
    TSpellHighlighter* highlighter() const { return m_highlighter; }

    // Shows failures the user must hear of (an unreadable or unwritable word list).
    std::function<void(const QString&)> reportError;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow(QTextDocument* document);
    void acceptWord(const QString& word);
    void report(const QString& message);

    TRichEditor& m_editor;
    const QStringList m_dictionaryDirs;
    const QLocale m_locale;
    const QString m_wordListPath;
    TSpellingSettings m_settings;
    TSpellChecker m_checker;
    bool m_loaded = false;       // the checker holds the chosen dictionaries
    bool m_wordListRead = false; // the personal word list was read (or its failure reported)
    bool m_shown = false;        // the editor has painted once
    QStringList m_acceptedWords; // added or ignored this session, in that order
    QPointer<TSpellHighlighter> m_highlighter;
    QPointer<QWidget> m_viewport; // compared only: the editor may be going when it reports
};
