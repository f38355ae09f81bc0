// TextPhrasePositions: where given phrases (each within one line) start in a text document, kept up to
// date at every change from the changed lines alone, so that asking whether a phrase follows the caret
// costs nothing at each key, whatever the length of the text.
#pragma once

#include <QObject>
#include <QStringList>

#include <vector>

class QTextDocument;

class TextPhrasePositions : public QObject {
    Q_OBJECT
  public:
    TextPhrasePositions(QTextDocument* document, const QStringList& phrases, QObject* parent = nullptr);

    // Phrase `which` (case-sensitive) starts at `position` or after it.
    bool OccursFrom(int which, int position) const;
    // Where phrase `which` starts, in order.
    const std::vector<int>& Starts(int which) const { return starts_[static_cast<size_t>(which)]; }

  private:
    void changed(int position, int removed, int added);
    // Forgets what was found from `from` up to `to` and looks for the phrases there again.
    void rescan(int from, int to);

    QTextDocument* document_;
    QStringList phrases_;
    std::vector<std::vector<int>> starts_;
    int length_ = 0;  // the document's length as last seen
};
