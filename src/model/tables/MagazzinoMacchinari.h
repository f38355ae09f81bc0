// The table MagazzinoMacchinari: machines catalogue and stock.
#pragma once

#include "model/TableClass.h"

class MagazzinoMacchinari : public TableClass {
  public:
    MagazzinoMacchinari() : TableClass("MagazzinoMacchinari") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;

    void OnNewRow(odb::DataSet& ds) override;
    void OnUpdateRow(odb::DataSet& ds) override;
    void OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) override;
    void OnUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS, const QString& referenceName,
                           bool isDelete, bool inMemory) override;
    void OnBeforeUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS, const QString& referenceName,
                                 bool isDelete, bool inMemory) override;
    void OnNewReference(odb::DataSet& ds, odb::DataSet& referencedDS, const QString& referenceName) override;

    // The path of the image file `path` once named after the machine code `code`: the same
    // folder, the name "<code>_<name>", where an earlier code or a first "_" of the name goes.
    static QString ImagePathFor(const QString& path, const QString& code);

  private:
    // Checks that the image file of `field` can take its name under the machine's code, refusing
    // the change otherwise; with `rename` it also renames the file and stores the new name.
    static void StoreMachineImage(odb::DataSet& ds, const QString& field, bool rename);
};
