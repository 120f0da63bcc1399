#pragma once

#include <QColor>
#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// What the font dialog shows and hands back: the character format of a selection.
struct TCharacterFormat
{
    QString Name;
    int Size = 12; // whole points
    QColor Color;  // not valid: the text's automatic colour
    bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
    bool FixedPitch = false;
    bool operator==(const TCharacterFormat&) const = default;
};

// Family, style, size, effects and colour of the text, with a sample. The name as given is kept
// even when no such font is installed (a file from another machine), so confirming the dialog
// unchanged never renames the font.
class TFontDialog : public QDialog
{
    Q_OBJECT
public:
    // Sizes a file can hold: half-points up to 3276.
    static constexpr int MinSize = 1, MaxSize = 1638;

    TFontDialog(QWidget* owner, const TCharacterFormat& initial);

    TCharacterFormat chosen() const;
    // Chooses a colour: a listed one, or any other, which then joins the list.
    void setColor(const QColor& color);

    void accept() override;

    QLineEdit* FontName = nullptr;
    QListWidget* FontNames = nullptr;
    QListWidget* FontStyles = nullptr;
    QLineEdit* FontSize = nullptr;
    QListWidget* FontSizes = nullptr;
    QCheckBox* StrikeOut = nullptr;
    QCheckBox* Underline = nullptr;
    QComboBox* FontColor = nullptr;
    QLabel* Sample = nullptr;
    QLabel* Remark = nullptr;

private:
    void nameEdited(const QString& text);
    void sizeEdited(const QString& text);
    void updateSample();
    bool sizeAcceptable() const;
    bool installed(const QString& name) const;

    TCharacterFormat initial;
    QPushButton* ok = nullptr;
};
