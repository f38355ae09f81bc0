// The form-utility module.
#include "startup/modZeltoFormUtility.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QMenu>
#include <QMetaObject>
#include <QScreen>
#include <QVariant>
#include <QWidget>

#include <cmath>
#include <utility>
#include <vector>

#include "base/AppError.h"
#include "odb/DataSet.h"
#include "odb/ui/DataPanel.h"
#include "odb/ui/DataPanelTools.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "platform/modOSWinUtil.h"
#include "startup/OpenInShell.h"
#include "startup/SharedState.h"
#include "startup/ShowErrorDetails.h"
#include "startup/frmMessage.h"

QString g_strMsgBoxTitle;
QString g_strFontName;
float g_sngFontSizeIncrement = 0;

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kStateNormal = 0;
constexpr int kStateMinimised = 1;
constexpr int kStateMaximised = 2;

QString settingsSection(const QWidget* form) {
    const QString name = form->objectName().isEmpty() ? QString::fromLatin1(form->metaObject()->className())
                                                      : form->objectName();
    return name + QStringLiteral("Settings");
}

int windowStateCode(const QWidget* form) {
    const Qt::WindowStates s = form->windowState();
    if (s & Qt::WindowMinimized) return kStateMinimised;
    if (s & (Qt::WindowMaximized | Qt::WindowFullScreen)) return kStateMaximised;
    return kStateNormal;
}

// A stored number, or the default when the key is absent; a text that is not a number is a type
// mismatch, as it would be for the window property it is meant for.
double storedNumber(const QString& section, const QString& key, double defaultValue) {
    const QString text = GetSetting(kAppSettingsName, section, key, QString::number(defaultValue, 'f', 0));
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok) RaiseVbError(13);
    return value;
}

int toPixels(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}
qint64 toTwips(int pixels) {
    return static_cast<qint64>(pixels) * kTwipsPerPixel;
}

// Sizes are added as currency (four decimals), so that repeated increments do not drift.
double addFixedPoint(double size, float increment) {
    const qint64 sum = std::llround(size * 10000.0) + std::llround(static_cast<double>(increment) * 10000.0);
    return static_cast<double>(sum) / 10000.0;
}

bool isProtectedFont(const QString& family) {
    return family.contains(QLatin1String("Courier")) || family.contains(QLatin1String("Webdings"));
}

bool classNameHas(const QWidget* w, const char* part) {
    return QString::fromLatin1(w->metaObject()->className()).contains(QLatin1String(part));
}

bool hasProperty(const QWidget* w, const char* name) {
    return w->metaObject()->indexOfProperty(name) >= 0;
}

[[noreturn]] void raiseFileError(const QString& file) {
    throw AppError(75, QString::fromLatin1(kProductName),
                   QStringLiteral("Errore di accesso al percorso/file: %1").arg(file));
}

}  // namespace

bool KeyCodeToText(int16_t keyCode, QString& text) {
    return KeyCodeToSendKeys(keyCode, text);
}

void SaveFormSettings(QWidget* form, bool positionOnly) {
    if (!form) RaiseVbError(91);
    const QString section = settingsSection(form);
    const int state = windowStateCode(form);
    SaveSetting(kAppSettingsName, section, QStringLiteral("State"), QString::number(state));
    if (state != kStateNormal) return;
    SaveSetting(kAppSettingsName, section, QStringLiteral("Left"), QString::number(toTwips(form->x())));
    SaveSetting(kAppSettingsName, section, QStringLiteral("Top"), QString::number(toTwips(form->y())));
    if (positionOnly) return;
    SaveSetting(kAppSettingsName, section, QStringLiteral("Width"), QString::number(toTwips(form->width())));
    SaveSetting(kAppSettingsName, section, QStringLiteral("Height"),
                QString::number(toTwips(form->height())));
}

void LoadFormSettings(QWidget* form, bool skipState, bool positionOnly, float defaultLeft, float defaultTop) {
    if (!form) RaiseVbError(91);
    const QString section = settingsSection(form);
    QScreen* screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect();
    double left = defaultLeft;
    double top = defaultTop;
    if (left == 0) left = static_cast<double>((toTwips(area.width()) - toTwips(form->width())) / 2);
    if (top == 0) top = static_cast<double>((toTwips(area.height()) - toTwips(form->height())) / 2);

    left = storedNumber(section, QStringLiteral("Left"), left);
    top = storedNumber(section, QStringLiteral("Top"), top);
    int width = form->width();
    int height = form->height();
    if (!positionOnly) {
        width = toPixels(storedNumber(section, QStringLiteral("Width"), static_cast<double>(toTwips(width))));
        height =
            toPixels(storedNumber(section, QStringLiteral("Height"), static_cast<double>(toTwips(height))));
    }
    int state = windowStateCode(form);
    if (!skipState) {
        const double stored = storedNumber(section, QStringLiteral("State"), state);
        if (stored != kStateNormal && stored != kStateMinimised && stored != kStateMaximised) RaiseVbError(5);
        state = static_cast<int>(stored);
    }

    form->move(toPixels(left), toPixels(top));
    if (!positionOnly) form->resize(width, height);
    if (!skipState) {
        const Qt::WindowStates keep =
            form->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
        form->setWindowState(keep | (state == kStateMinimised   ? Qt::WindowMinimized
                                     : state == kStateMaximised ? Qt::WindowMaximized
                                                                : Qt::WindowNoState));
    }
}

bool HasFormSettings(QWidget* form) {
    if (!form) RaiseVbError(91);
    return !GetSetting(kAppSettingsName, settingsSection(form), QStringLiteral("Left")).isEmpty();
}

void ToggleDataSort(const QString& columnOrSort, odb::DataSet* dataSet) {
    try {
        if (!dataSet) RaiseVbError(91);
        const QString previous = dataSet->SortOrder();
        QString sort = columnOrSort;
        if (!columnOrSort.contains(QLatin1Char(' ')) && !columnOrSort.contains(QLatin1Char(','))) {
            // One column: a second click on it reverses its direction.
            if (!columnOrSort.isEmpty() && previous.contains(columnOrSort))
                sort = columnOrSort + (previous.contains(QLatin1String("DESC")) ? QStringLiteral(" ASC")
                                                                                : QStringLiteral(" DESC"));
        }
        // A refused order leaves the data set's view as it was.
        dataSet->SetSortOrder(sort);
    } catch (const AppError& e) {
        Prompt::instance().msgBox(e.description(), MsgBoxStyle::vbOKOnly, g_strMsgBoxTitle);
    }
}

void ExportHtmlTable(const std::shared_ptr<odb::DataSet>& dataSet, QWidget* owner, QString fieldList) {
    if (!dataSet) return;
    using namespace MsgBoxStyle;
    try {
        if (Prompt::instance().msgBox(
                QStringLiteral("Vuoi modificare la sequenza dei campi per il browser ?"),
                vbYesNo | vbQuestion, g_strMsgBoxTitle, owner) == MsgResult::Yes) {
            auto panel = odb::DataPanelTools::CreatePanel(dataSet);
            if (!panel->ChooseFields(fieldList, QStringLiteral("Esportazione HTML - Selezione Campi"), owner))
                return;
        }
        const QString file = QDir(ProgramFolder()).filePath(QStringLiteral("TableData.htm"));
        frmMessage::instance().ShowMsg(QStringLiteral("Esportazione dati in formato HTML..."), owner, -1, -1);
        if (QFile::exists(file) && !QFile::remove(file)) raiseFileError(file);
        dataSet->ExportHtml(2, file, &frmMessage::instance(), fieldList);
        frmMessage::Unload();
        OpenInShell(file, owner);
    } catch (const AppError& e) {
        SetCurrentError(e);
        ShowErrorDetails(QString());
        frmMessage::Unload();
    }
}

QAction* AddMenuArrayItem(QMenu* menuArray, const QString& caption, const QString& tag) {
    if (!menuArray) RaiseVbError(91);
    QAction* item = menuArray->addAction(caption);
    item->setData(tag);
    item->setEnabled(!tag.isEmpty());
    return item;
}

void ApplyFormFont(QWidget* form, const QString& fontName, float sizeIncrement) {
    if (!form) return;
    if (fontName.isEmpty() && sizeIncrement == 0) return;

    // The controls' own fonts before the window's change reaches those that inherit it.
    std::vector<std::pair<QWidget*, QFont>> controls;
    for (QWidget* w : form->findChildren<QWidget*>())
        controls.emplace_back(w, w->font());

    QFont own = form->font();
    if (!fontName.isEmpty()) own.setFamily(fontName);
    if (sizeIncrement != 0) {
        if (own.pointSizeF() <= 0) return;
        const double size = addFixedPoint(own.pointSizeF(), sizeIncrement);
        if (size <= 0) return;  // a size the window cannot take ends the adjustment
        own.setPointSizeF(size);
    }
    form->setFont(own);

    for (auto& [w, font] : controls) {
        QFont f = font;
        if (!fontName.isEmpty()) {
            if (classNameHas(w, "QoData") || classNameHas(w, "QoDB") || classNameHas(w, "QoShort")) {
                if (hasProperty(w, "FontNames")) w->setProperty("FontNames", fontName);
            } else if (!isProtectedFont(f.family())) {
                f.setFamily(fontName);
            }
        }
        if (sizeIncrement != 0) {
            if (classNameHas(w, "ctlQoDataPanel") || classNameHas(w, "QoShortSearch")) {
                if (hasProperty(w, "FontSizeSpin"))
                    w->setProperty("FontSizeSpin",
                                   addFixedPoint(w->property("FontSizeSpin").toDouble(), sizeIncrement));
            } else if (f.pointSizeF() > 0) {
                const double size = addFixedPoint(f.pointSizeF(), sizeIncrement);
                if (size > 0) f.setPointSizeF(size);
            }
        }
        w->setFont(f);
    }
}
