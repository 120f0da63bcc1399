#include "app/EditorSpelling.h"

#include "app/TRichEditor.h"
#include "spell/PersonalWordList.h"
#include "spell/SpellHighlighter.h"
#include "store/JournalError.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

namespace {

// Marks the menu items this class puts in, so that the next pop-up can take them out again.
constexpr char SpellingItem[] = "spellingItem";
// How many words of the session's accepted ones a document's marks have taken in.
constexpr char WordsSeen[] = "acceptedWordsSeen";

} // namespace

TEditorSpelling::TEditorSpelling(TRichEditor& editor, QStringList dictionaryDirs, QLocale locale,
                                 QString wordListPath, QObject* parent)
    : QObject(parent), m_editor(editor), m_dictionaryDirs(std::move(dictionaryDirs)),
      m_locale(std::move(locale)), m_wordListPath(std::move(wordListPath))
{
    connect(&editor, &TRichEditor::documentReplaced, this,
            [this](QTextDocument* document) { follow(document); });
    const auto viewMoved = [this] {
        if (m_highlighter)
            m_highlighter->visibleAreaChanged();
    };
    connect(editor.verticalScrollBar(), &QScrollBar::valueChanged, this, viewMoved);
    connect(editor.verticalScrollBar(), &QScrollBar::rangeChanged, this, viewMoved);
    connect(&editor, &QTextEdit::cursorPositionChanged, this, [this] {
        if (m_highlighter)
            m_highlighter->caretMoved();
    });
    m_viewport = editor.viewport();
    m_viewport->installEventFilter(this);
    follow(editor.document());
}

TEditorSpelling::~TEditorSpelling() = default;

void TEditorSpelling::report(const QString& message)
{
    if (reportError)
        reportError(message);
}

bool TEditorSpelling::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_viewport) {
        if (event->type() == QEvent::Resize && m_highlighter) {
            m_highlighter->visibleAreaChanged();
        } else if (event->type() == QEvent::Paint && !m_shown) {
            // The dictionaries take a moment to read: the window shows first.
            m_shown = true;
            QTimer::singleShot(0, this, [this] { loadDictionaries(); });
        }
    }
    return QObject::eventFilter(watched, event);
}

void TEditorSpelling::follow(QTextDocument* document)
{
    // A document the editor no longer shows keeps its marks, but nothing is checked in it.
    if (m_highlighter && m_highlighter->document() != document)
        m_highlighter->setActive(false);
    if (!document)
        return;
    m_highlighter = document->findChild<TSpellHighlighter*>(QString(), Qt::FindDirectChildrenOnly);
    if (!m_highlighter) {
        m_highlighter = new TSpellHighlighter(document, m_checker);
        m_highlighter->setProperty(WordsSeen, qsizetype(0));
        m_highlighter->setVisibleRange([this, document] {
            if (m_editor.document() != document)
                return std::pair{-1, -1};
            const QRect view = m_editor.viewport()->rect();
            return std::pair{m_editor.cursorForPosition(view.topLeft()).position(),
                             m_editor.cursorForPosition(view.bottomRight()).position()};
        });
        m_highlighter->setCaret([this] { return m_editor.textCursor().position(); });
    }
    m_highlighter->setActive(isChecking());
    // Words accepted while this document was elsewhere lose their marks here too.
    const qsizetype seen = m_highlighter->property(WordsSeen).value<qsizetype>();
    for (qsizetype i = seen; i < m_acceptedWords.size(); ++i)
        m_highlighter->recheckWord(m_acceptedWords[i]);
    m_highlighter->setProperty(WordsSeen, m_acceptedWords.size());
}

std::vector<TDictionaryInfo> TEditorSpelling::installedDictionaries() const
{
    return FindDictionaries(m_dictionaryDirs);
}

QString TEditorSpelling::packageHint() const
{
    return DictionaryPackageFor(m_locale);
}

void TEditorSpelling::applySettings(const TSpellingSettings& settings)
{
    m_settings = settings;
    if (!settings.stored) {
        m_settings.dictionaries = DefaultDictionaries(installedDictionaries(), m_locale);
        m_settings.checkAsYouType = !m_settings.dictionaries.isEmpty();
    }
    m_loaded = false;
    if (!m_settings.checkAsYouType) {
        m_checker.setDictionaries({});
        if (m_highlighter)
            m_highlighter->setActive(false);
    } else if (m_shown) {
        loadDictionaries();
    }
}

void TEditorSpelling::choose(bool checkAsYouType, const QStringList& dictionaries)
{
    TSpellingSettings chosen{true, checkAsYouType, dictionaries};
    QStringList installed;
    for (const TDictionaryInfo& d : installedDictionaries())
        installed << d.code;
    for (const QString& code : std::as_const(m_settings.dictionaries))
        if (!installed.contains(code) && !chosen.dictionaries.contains(code))
            chosen.dictionaries << code;
    if (chosen.checkAsYouType == m_settings.checkAsYouType &&
        chosen.dictionaries == m_settings.dictionaries) {
        m_settings.stored = true; // confirmed: the file keeps it from now on
        return;
    }
    applySettings(chosen);
    if (checkAsYouType)
        loadDictionaries();
}

bool TEditorSpelling::isChecking() const
{
    return m_settings.checkAsYouType && m_checker.hasDictionaries();
}

void TEditorSpelling::loadDictionaries()
{
    if (m_loaded || !m_settings.checkAsYouType)
        return;
    m_loaded = true;
    if (!m_wordListRead) {
        m_wordListRead = true;
        try {
            m_checker.addPersonalWords(ReadPersonalWords(m_wordListPath));
        } catch (const TJournalError& e) {
            report(QStringLiteral("The personal word list could not be read; words added now "
                                  "are right for this session only.\n") +
                   e.message());
            m_wordListRead = false; // and never written over
        }
    }
    std::vector<TDictionaryInfo> chosen;
    const std::vector<TDictionaryInfo> installed = installedDictionaries();
    for (const QString& code : std::as_const(m_settings.dictionaries))
        for (const TDictionaryInfo& d : installed)
            if (d.code == code)
                chosen.push_back(d);
    m_checker.setDictionaries(chosen);
    if (m_highlighter) {
        m_highlighter->setActive(isChecking());
        m_highlighter->recheckAll();
    }
}

void TEditorSpelling::prepareMenu(QMenu& menu, int textPosition)
{
    for (QAction* action : menu.actions()) {
        if (action->property(SpellingItem).toBool()) {
            menu.removeAction(action);
            action->deleteLater();
        }
    }
    if (!m_settings.checkAsYouType || m_editor.isReadOnly())
        return;
    loadDictionaries();
    const QTextBlock block = m_editor.document()->findBlock(textPosition);
    if (!block.isValid())
        return;
    const QString text = block.text();
    const std::optional<TWordSpan> span =
        m_checker.misspellingAt(text, textPosition - block.position());
    if (!span)
        return;
    const QString word = text.mid(span->start, span->length);
    const int start = block.position() + span->start;

    QAction* first = menu.actions().value(0);
    auto add = [&](const QString& caption, const char* name, auto handler) {
        auto* action = new QAction(caption, &menu);
        action->setObjectName(QLatin1String(name));
        action->setProperty(SpellingItem, true);
        connect(action, &QAction::triggered, this, handler);
        menu.insertAction(first, action);
        return action;
    };
    for (const QString& suggestion : m_checker.suggestions(word, 7)) {
        QString caption = suggestion;
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        add(caption, "SpellingSuggestion",
            [this, start, word, suggestion] { replaceWord(start, word, suggestion); });
    }
    add(QStringLiteral("Add to Dictionary"), "SpellingAddToDictionary",
        [this, word] { addToDictionary(word); });
    add(QStringLiteral("Ignore"), "SpellingIgnore", [this, word] { ignoreWord(word); });
    QAction* separator = menu.insertSeparator(first);
    separator->setProperty(SpellingItem, true);
}

void TEditorSpelling::replaceWord(int start, const QString& word, const QString& replacement)
{
    QTextDocument* doc = m_editor.document();
    if (m_editor.isReadOnly() || start < 0 || start + word.size() > doc->characterCount() - 1)
        return;
    QTextCursor cursor(doc);
    cursor.setPosition(start);
    cursor.setPosition(start + int(word.size()), QTextCursor::KeepAnchor);
    if (cursor.selectedText() != word)
        return;
    // The format of the word's first letter: a bold word stays bold.
    QTextCursor firstLetter(doc);
    firstLetter.setPosition(start + 1);
    const QTextCharFormat format = firstLetter.charFormat();
    cursor.beginEditBlock();
    cursor.insertText(replacement, format);
    cursor.endEditBlock();
    m_editor.setTextCursor(cursor);
    m_editor.ensureCursorVisible();
}

void TEditorSpelling::acceptWord(const QString& word)
{
    m_acceptedWords << word;
    if (m_highlighter) {
        m_highlighter->recheckWord(word);
        m_highlighter->setProperty(WordsSeen, m_acceptedWords.size());
    }
}

void TEditorSpelling::addToDictionary(const QString& word)
{
    m_checker.addPersonalWords({word});
    acceptWord(word);
    if (!m_wordListRead) {
        report(QStringLiteral("\"%1\" is right for this session only: the personal word list "
                              "\"%2\" could not be read, and is left as it is.")
                   .arg(word, m_wordListPath));
        return;
    }
    try {
        AddPersonalWord(m_wordListPath, word);
    } catch (const TJournalError& e) {
        report(QStringLiteral("\"%1\" is right for this session only: it could not be added "
                              "to the personal word list.\n")
                   .arg(word) +
               e.message());
    }
}

void TEditorSpelling::ignoreWord(const QString& word)
{
    m_checker.ignore(word);
    acceptWord(word);
}
