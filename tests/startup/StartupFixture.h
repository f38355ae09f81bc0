// A test fixture for start-up: temporary settings and folders, the shared state back at its
// initial values, a stand-in main window and the database closed after each test.
#pragma once

#include <QWidget>

#include <vector>

#include "odb/Interfaces.h"
#include "startup/MainWindowServices.h"
#include "support/TestEnvironment.h"

class FakeMainWindow : public MainWindowServices, public odb::itfNotifyEvent {
  public:
    QWidget* Widget() override { return &widget; }
    odb::itfNotifyEvent* NotifySink() override { return this; }
    void SetOptionsActive(bool active) override {
        optionsActive = active;
        optionsChanges.push_back(active);
    }
    bool OptionsActive() const override { return optionsActive; }
    void ReleaseDatabase() override;
    void Unload() override { ++unloads; }
    void BringForward() override { ++broughtForward; }

    void OnEvent(int32_t, void*, const QString& detail) override { events.push_back(detail); }
    void OnInternalMessage(void*, const QString&) override {}
    void OnQueryMessage(void*, int32_t, const QString&, bool&) override {}
    void OnReportRequest(odb::DataSet&, int32_t, const QString&, const QString&) override {}

    QWidget widget;
    bool optionsActive = false;
    std::vector<bool> optionsChanges;
    int releases = 0;
    int unloads = 0;
    int broughtForward = 0;
    std::vector<QString> events;
};

class StartupTest : public TempFolderTest {
  protected:
    void SetUp() override;
    void TearDown() override;
    // The database file in the work folder.
    QString databasePath() const;
    FakeMainWindow main;
};
