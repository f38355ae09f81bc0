// ErrObject: the script's Err object (Number, Description, Source, HelpFile, HelpContext, Clear, Raise).
#pragma once

#include "base/AppError.h"
#include "base/Dispatch.h"

namespace vbs {

class ErrObject : public Dispatch {
  public:
    ErrObject();

    void set(const AppError& e);
    void clear();
    int32_t number() const { return number_; }
    const QString& description() const { return description_; }
    const QString& source() const { return source_; }

  private:
    static const DispatchClass& members();

    int32_t number_ = 0;
    QString description_;
    QString source_;
    QString helpFile_;
    int32_t helpContext_ = 0;
};

// Source of the errors the engine itself raises at run time.
inline const char* const kRuntimeSource = "Errore di run-time dello script";

}  // namespace vbs
