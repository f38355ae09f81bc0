// The prompt service on Qt's dialogs.
#pragma once

#include "platform/Prompt.h"

class QtPrompt : public Prompt {
  public:
    MsgResult msgBox(const QString& text, int style, const QString& title, QWidget* owner) override;
    bool inputBox(const QString& prompt, const QString& title, const QString& defaultValue, QString& value,
                  QWidget* owner) override;
    QString openFileName(const QString& title, const QString& dir, const QString& filter,
                         QWidget* owner) override;
    QString saveFileName(const QString& title, const QString& dir, const QString& filter,
                         QWidget* owner) override;
    QString folder(const QString& title, const QString& dir, QWidget* owner) override;
    bool choosePrinter(const QString& title, const QStringList& printers, QString& name, int* copies,
                       QWidget* owner) override;
    bool printerSetup(const QString& title, const std::vector<PrinterSetting>& printers,
                      PrinterSetting& choice, QWidget* owner) override;
    bool chooseFont(QFont& font, QWidget* owner) override;
    bool chooseColor(QColor& color, QWidget* owner) override;
};
