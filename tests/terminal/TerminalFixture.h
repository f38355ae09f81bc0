// A shop floor for the terminal's tests: the database with workers 0012 and 0013, job orders of a
// customer, the normal working hours, keyboard-emulated cards, and the terminal's dialogs answered
// from queues the test fills: cards typed, choices made, confirmations given.
#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>

#include "model/StepRoadFixture.h"
#include "odb/ui/ModalDialog.h"
#include "support/RecordingPrompt.h"

class QWidget;
class frmSelectLavrix;

class TerminalFixture : public StepRoadFixture {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The urgent tooling detail "1-0012/001" of "Rossi Srl", 4 x "Stampo A" (and "/002", 2 x).
    void addCustomerDetails();
    // A production detail "3-0005/001" of 6 parts.
    void addProductionDetail();

    // The texts of the message boxes shown so far, in order; `clear` forgets them.
    QStringList boxes(bool clear = true);
    // Keys as a keyboard, or a keyboard-wedge reader, types them, to the focused control.
    static void type(const QString& text, QWidget* fallback);
    static void press(int key, QWidget* fallback, const QString& text = {});

    // What the next card dialogs are given: a code typed and Enter; "" presses Esc.
    std::deque<QString> cards;
    // Answers of the next confirmations: true presses "0", false "NO". None left: "NO".
    std::deque<bool> answers;
    // Works the group dialog; none: the dialog is confirmed as it is.
    std::function<void(frmSelectLavrix&)> onSelect;
    // Runs while a card dialog is up, before the card is typed.
    std::function<void()> duringCardRead;
    int cardReads = 0;
    QStringList questions;  // of the confirmations shown

    ScopedRecordingPrompt prompt;

  private:
    int runDialog(QDialog& dialog);
    odb::ModalRunner previousRunner_;
};
