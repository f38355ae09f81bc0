// MaskedBox: the masked edit box of the settings and layout windows: a line edit that takes at most a
// number of characters and, with a mask, only what the mask allows. Mask characters "9" and "#" stand
// for one digit each, none of them required ("9#": up to two digits); any other character stands for
// itself. Unlike QLineEdit::setText, which cuts a text silently, SetText refuses a text the box would
// not take.
#pragma once

#include <QLineEdit>
#include <QRegularExpression>
#include <QString>

class MaskedBox : public QLineEdit {
    Q_OBJECT
  public:
    // An empty mask takes any text of up to `maxLength` characters.
    MaskedBox(const QString& mask, int maxLength, QWidget* parent = nullptr);

    const QString& Mask() const { return mask_; }
    // Whether the box takes the text as it is.
    bool Accepts(const QString& text) const;
    // Sets the text; one the box does not take raises "Valore della proprietà non valido" (380) and
    // leaves the box as it was.
    void SetText(const QString& text);

  private:
    QString mask_;
    QRegularExpression pattern_;
};
