// ScriptBox: the box in which layout scripts are written: a fixed-pitch font ("Courier New", which the
// system maps to its own fixed-pitch face), no line wrapping. It edits with LF line ends while scripts
// are kept with CR LF: SetScript and Script convert, and a script the user left alone comes back byte
// for byte, whatever its line ends were.
#pragma once

#include <QPlainTextEdit>
#include <QString>

class ScriptBox : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit ScriptBox(QWidget* parent = nullptr);

    // Shows a script whose lines end with CR LF, a lone CR or a lone LF.
    void SetScript(const QString& script);
    // The script with CR LF line ends; while the box shows what SetScript gave it, exactly that text.
    QString Script() const;
    // The text as edited, lines ended by LF.
    QString EditedText() const;

  private:
    QString given_;  // the last text of SetScript
    QString shown_;  // that text as the box shows it
};
