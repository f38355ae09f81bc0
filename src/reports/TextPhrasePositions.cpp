// Phrase positions kept through the document's changes.
#include "reports/TextPhrasePositions.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

TextPhrasePositions::TextPhrasePositions(QTextDocument* document, const QStringList& phrases, QObject* parent)
    : QObject(parent), document_(document), phrases_(phrases), starts_(static_cast<size_t>(phrases.size())) {
    length_ = document_->characterCount();
    rescan(0, length_);
    connect(document_, &QTextDocument::contentsChange, this, &TextPhrasePositions::changed);
}

bool TextPhrasePositions::OccursFrom(int which, int position) const {
    const std::vector<int>& starts = starts_[static_cast<size_t>(which)];
    return !starts.empty() && starts.back() >= position;
}

void TextPhrasePositions::changed(int position, int removed, int added) {
    const int length = document_->characterCount();
    // Qt counts a cleared document's last paragraph end among the removed characters: when the counts
    // do not add up, everything is looked at again.
    if (length != length_ + added - removed || position < 0) {
        length_ = length;
        for (std::vector<int>& starts : starts_)
            starts.clear();
        rescan(0, length);
        return;
    }
    length_ = length;
    const int delta = added - removed;
    for (size_t i = 0; i < starts_.size(); ++i) {
        const int size = static_cast<int>(phrases_[static_cast<qsizetype>(i)].size());
        std::vector<int> kept;
        kept.reserve(starts_[i].size());
        for (int start : starts_[i]) {
            if (start + size <= position)
                kept.push_back(start);
            else if (start >= position + removed)
                kept.push_back(start + delta);
        }
        starts_[i] = std::move(kept);
    }
    rescan(position, position + added);
}

void TextPhrasePositions::rescan(int from, int to) {
    // A phrase lies within one line: the lines that hold the changed characters are read again whole.
    QTextBlock block = document_->findBlock(std::max(0, from));
    QTextBlock last = document_->findBlock(std::max(0, to));
    if (!block.isValid()) block = document_->firstBlock();
    if (!last.isValid()) last = document_->lastBlock();
    const int begin = block.position();
    const int end = last.position() + last.length();
    for (size_t i = 0; i < starts_.size(); ++i) {
        std::vector<int>& starts = starts_[i];
        starts.erase(
            std::remove_if(starts.begin(), starts.end(), [&](int s) { return s >= begin && s < end; }),
            starts.end());
    }
    for (;;) {
        const QString text = block.text();
        for (size_t i = 0; i < starts_.size(); ++i) {
            const QString& phrase = phrases_[static_cast<qsizetype>(i)];
            for (qsizetype at = text.indexOf(phrase); at >= 0; at = text.indexOf(phrase, at + 1))
                starts_[i].push_back(block.position() + static_cast<int>(at));
        }
        if (block == last || !block.next().isValid()) break;
        block = block.next();
    }
    for (std::vector<int>& starts : starts_)
        std::sort(starts.begin(), starts.end());
}
