// Qt message boxes with VB's button sets, icons and default button.
#include "platform/QtPrompt.h"

#include "platform/PrinterChoiceDialog.h"
#include "platform/PrinterSetupDialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <vector>

namespace {

// Room beside a window's title for the frame's icon and buttons, in pixels.
constexpr int kTitleFrameRoom = 120;
// Width of the file choosers, in pixels: a name beside size, type and date.
constexpr int kFileDialogWidth = 760;

struct ButtonSpec {
    QMessageBox::StandardButton button;
    MsgResult result;
};

std::vector<ButtonSpec> buttonsFor(int style) {
    using B = QMessageBox;
    switch (style & MsgBoxStyle::kButtonsMask) {
        case MsgBoxStyle::vbOKCancel:
            return {{B::Ok, MsgResult::OK}, {B::Cancel, MsgResult::Cancel}};
        case MsgBoxStyle::vbAbortRetryIgnore:
            return {
                {B::Abort, MsgResult::Abort}, {B::Retry, MsgResult::Retry}, {B::Ignore, MsgResult::Ignore}};
        case MsgBoxStyle::vbYesNoCancel:
            return {{B::Yes, MsgResult::Yes}, {B::No, MsgResult::No}, {B::Cancel, MsgResult::Cancel}};
        case MsgBoxStyle::vbYesNo:
            return {{B::Yes, MsgResult::Yes}, {B::No, MsgResult::No}};
        case MsgBoxStyle::vbRetryCancel:
            return {{B::Retry, MsgResult::Retry}, {B::Cancel, MsgResult::Cancel}};
        default:
            return {{B::Ok, MsgResult::OK}};
    }
}

QMessageBox::Icon iconFor(int style) {
    switch (style & MsgBoxStyle::kIconMask) {
        case MsgBoxStyle::vbCritical:
            return QMessageBox::Critical;
        case MsgBoxStyle::vbQuestion:
            return QMessageBox::Question;
        case MsgBoxStyle::vbExclamation:
            return QMessageBox::Warning;
        case MsgBoxStyle::vbInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

// The width a box needs to show `title` whole beside the frame's icon and buttons.
int TitleRoom(const QWidget& box, const QString& title) {
    QFont bold = box.font();
    bold.setBold(true);
    int widest = 0;
    for (const QString& line : title.split(QLatin1Char('\n')))
        widest = std::max(widest, QFontMetrics(bold).horizontalAdvance(line));
    return widest + kTitleFrameRoom;
}

// The window a box shows over: the one asked for, unless a modal window blocks it meanwhile (a
// record window whose rules answer through the main window): a box over a blocked window raises
// that window, and buries the modal one under it, for as long as the box is up.
QWidget* BoxOwner(QWidget* owner) {
    if (!owner) return QApplication::activeWindow();
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return owner;
    // The modal window itself, or a window of its own, takes its boxes.
    for (QWidget* w = owner->window(); w; w = w->parentWidget() ? w->parentWidget()->window() : nullptr)
        if (w == modal) return owner;
    // A window-modal one blocks only the windows it stands on.
    if (modal->windowModality() == Qt::WindowModal) {
        for (QWidget* w = modal->parentWidget(); w; w = w->parentWidget())
            if (w->window() == owner->window()) return modal;
        return owner;
    }
    return modal;
}

QString TitleOrDefault(const QString& title) {
    return ShownText(title.isEmpty() ? DefaultMsgBoxTitle() : title);
}

// Qt's own chooser gives size, type and date columns too narrow for their texts: they take the width
// their texts need and the name the rest, in a window wide enough for all four. Its widgets exist
// once it is shown.
QString runFileDialog(QFileDialog& dialog) {
    QTimer::singleShot(0, &dialog, [&dialog] {
        auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
        if (!view) return;
        QHeaderView* header = view->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        if (dialog.width() < kFileDialogWidth) dialog.resize(kFileDialogWidth, dialog.height());
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

}  // namespace

MsgResult QtPrompt::msgBox(const QString& text, int style, const QString& title, QWidget* owner) {
    QMessageBox box(BoxOwner(owner));
    box.setIcon(iconFor(style));
    box.setWindowTitle(TitleOrDefault(title));
    box.setText(ShownText(text));
    const auto specs = buttonsFor(style);
    for (const ButtonSpec& s : specs)
        box.addButton(s.button);
    const size_t def = static_cast<size_t>((style & MsgBoxStyle::kDefaultMask) / 256);
    if (def < specs.size()) box.setDefaultButton(specs[def].button);
    box.setEscapeButton(specs.size() == 1 ? specs[0].button : specs.back().button);
    // Qt leaves a short text's box only a little wider than its title: a window manager whose frame
    // holds an icon and three buttons then cuts the title.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(
            new QSpacerItem(TitleRoom(box, box.windowTitle()), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
            grid->rowCount(), 0, 1, grid->columnCount());
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const ButtonSpec& s : specs)
        if (s.button == clicked) return s.result;
    return specs.size() == 1 ? specs[0].result : MsgResult::Cancel;
}

bool QtPrompt::inputBox(const QString& prompt, const QString& title, const QString& defaultValue,
                        QString& value, QWidget* owner) {
    QInputDialog dialog(BoxOwner(owner));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(TitleOrDefault(title));
    dialog.setLabelText(ShownText(prompt));
    dialog.setTextValue(defaultValue);
    // The dialog's layout sets its size from its controls: the answer's box carries the width.
    if (auto* answer = dialog.findChild<QLineEdit*>())
        answer->setMinimumWidth(TitleRoom(dialog, dialog.windowTitle()));
    const bool ok = dialog.exec() == QDialog::Accepted;
    value = ok ? dialog.textValue() : QString();
    return ok;
}

QString QtPrompt::openFileName(const QString& title, const QString& dir, const QString& filter,
                               QWidget* owner) {
    QFileDialog dialog(owner ? BoxOwner(owner) : nullptr, ShownText(title), dir, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return runFileDialog(dialog);
}

QString QtPrompt::saveFileName(const QString& title, const QString& dir, const QString& filter,
                               QWidget* owner) {
    QFileDialog dialog(owner ? BoxOwner(owner) : nullptr, ShownText(title), dir, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The program asks its own overwrite question where it wants one.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    return runFileDialog(dialog);
}

QString QtPrompt::folder(const QString& title, const QString& dir, QWidget* owner) {
    return QFileDialog::getExistingDirectory(owner ? BoxOwner(owner) : nullptr, ShownText(title), dir);
}

bool QtPrompt::choosePrinter(const QString& title, const QStringList& printers, QString& name, int* copies,
                             QWidget* owner) {
    PrinterChoiceDialog dialog(ShownText(title), printers, name, copies ? *copies : 0, BoxOwner(owner));
    if (dialog.exec() != QDialog::Accepted) return false;
    name = dialog.printerName();
    if (copies) *copies = dialog.copies();
    return true;
}

bool QtPrompt::printerSetup(const QString& title, const std::vector<PrinterSetting>& printers,
                            PrinterSetting& choice, QWidget* owner) {
    PrinterSetupDialog dialog(ShownText(title), printers, choice, BoxOwner(owner));
    if (dialog.exec() != QDialog::Accepted) return false;
    choice = dialog.choice();
    return true;
}

// Qt's own dialogs, not the desktop's: they speak the program's Italian.
bool QtPrompt::chooseFont(QFont& font, QWidget* owner) {
    bool ok = false;
    const QFont chosen =
        QFontDialog::getFont(&ok, font, BoxOwner(owner), {}, QFontDialog::DontUseNativeDialog);
    if (ok) font = chosen;
    return ok;
}

bool QtPrompt::chooseColor(QColor& color, QWidget* owner) {
    const QColor chosen =
        QColorDialog::getColor(color, BoxOwner(owner), {}, QColorDialog::DontUseNativeDialog);
    if (!chosen.isValid()) return false;
    color = chosen;
    return true;
}
