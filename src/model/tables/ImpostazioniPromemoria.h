// The table ImpostazioniPromemoria: reminder rules.
#pragma once

#include <QString>

#include "model/TableClass.h"

class ImpostazioniPromemoria : public TableClass {
  public:
    ImpostazioniPromemoria() : TableClass("ImpostazioniPromemoria") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;

    void OnNewRow(odb::DataSet& ds) override;
    void OnUpdateRow(odb::DataSet& ds) override;
    void OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) override;
    void OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) override;

  private:
    void CheckMessageFields(odb::DataSet& ds, const QString& text, const QString& tableName);
    // The field name of the first "<%name%>" of `text` and the text after it; both empty when
    // there is none (after a message when the placeholder is not closed).
    void NextMessageField(odb::DataSet& ds, const QString& text, QString& fieldName, QString& rest);

    // The stored values before the change in progress: a change counts only when it differs.
    QString keptTableName_;
    QString keptDateField_;
};
