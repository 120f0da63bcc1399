#pragma once

#include <QDialog>
#include <QFont>
#include <QList>
#include <QStringList>
#include <functional>
#include <optional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

// One spelling dictionary as the Options dialog lists it.
struct TDictionaryChoice
{
    QString code; // "en_US"
    QString name; // "English (United States)"
    bool checked = false;
};

// The Options dialog: insert-date options and the editor's default font on "General", header,
// footer and margins on "Printing", spelling on "Spelling". It only edits what it was given;
// the main window reads the controls back after OK.
class TFormPreferences : public QDialog
{
    Q_OBJECT
public:
    // Asks the user for a font starting from the given one; nullopt when they cancel. The main
    // window passes its prompter's font dialog here.
    using FontChooser = std::function<std::optional<QFont>(QWidget* owner, const QFont& initial)>;

    TFormPreferences(QWidget* owner, FontChooser chooseFont);

    // The font being chosen: all of it is kept here, though only name and size leave the dialog.
    const QFont& dialogFont() const { return font_; }
    void setDialogFont(const QFont& font);

    // Shows the dialog font as "Arial, 12pt".
    void FontLabelText();
    // "...": lets the user pick another font.
    void Button1Click();
    // Escape cancels from whichever control has the focus; true when the key was used.
    bool FormKeyDown(int key);

    // The integer in a margin box: an optional sign and decimal digits, nothing else.
    static std::optional<int> marginValue(const QString& text);

    // Spelling as it is, the dictionaries installed, and the package that would bring the
    // user's language (named when no dictionary is installed at all).
    void setSpelling(bool checkAsYouType, const QList<TDictionaryChoice>& dictionaries,
                     const QString& package);
    bool checkSpelling() const;
    QStringList checkedDictionaries() const;

    QTabWidget* PageControl = nullptr;
    QWidget* TSGeneral = nullptr;
    QWidget* TSPrinting = nullptr;
    QCheckBox* CB_ShortDateFormat = nullptr;
    QCheckBox* CB_IncludeTimeInInsert = nullptr;
    QLabel* L_DefaultFont = nullptr;
    QPushButton* Button1 = nullptr;
    QCheckBox* mPrintTabName = nullptr;
    QCheckBox* mPrintPageNumbers = nullptr;
    QLineEdit* mMarginLeft = nullptr;
    QLineEdit* mMarginTop = nullptr;
    QLineEdit* mMarginRight = nullptr;
    QLineEdit* mMarginBottom = nullptr;
    QWidget* TSSpelling = nullptr;
    QCheckBox* CB_CheckSpelling = nullptr;
    QGroupBox* GB_Dictionaries = nullptr;
    QListWidget* LB_Dictionaries = nullptr;
    QLabel* L_SpellingHint = nullptr;
    QPushButton* ButtonOK = nullptr;
    QPushButton* ButtonCancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildGeneralPage();
    QWidget* buildPrintingPage();
    QWidget* buildSpellingPage();

    FontChooser chooseFont;
    QFont font_;
};
