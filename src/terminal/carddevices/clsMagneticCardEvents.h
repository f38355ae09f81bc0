// The completion relay of a card device: the driver calls its Raise methods, the window that
// started the operation listens to its signals.
#pragma once

#include <QObject>
#include <QString>

#include "base/AppError.h"

class clsMagneticCardEvents : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    void RaiseReadComplete(bool completed, const QString& id, const QString& data,
                           const QString& optionalCode) {
        emit OnReadComplete(completed, id, data, optionalCode);
    }
    void RaiseWriteComplete(bool completed, const QString& optionalCode) {
        emit OnWriteComplete(completed, optionalCode);
    }
    void RaiseEraseComplete(bool completed, const QString& optionalCode) {
        emit OnEraseComplete(completed, optionalCode);
    }
    // The device went away while the port was open: no completion will come.
    void RaiseDeviceError(const AppError& error) { emit OnDeviceError(error); }

  signals:
    // `completed` is True when the device reported success; `optionalCode` is its status character.
    void OnReadComplete(bool completed, const QString& id, const QString& data, const QString& optionalCode);
    void OnWriteComplete(bool completed, const QString& optionalCode);
    void OnEraseComplete(bool completed, const QString& optionalCode);
    void OnDeviceError(const AppError& error);
};
