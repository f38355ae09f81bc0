// SectionViews: what the data view opens for a section key: the table, its field list, order,
// where text and title, and for the report sections the row the user chooses first.
#pragma once

#include <QString>

struct SectionView {
    // The record chosen before the data is read, and the table and field it is chosen by.
    enum class Chooser { None, Customer, Worker, Detail };
    QString table;
    QString fields;
    QString order;
    QString where;
    QString title;  // empty: the title label keeps its design caption
    Chooser chooser = Chooser::None;
    bool customerDetails = false;  // "Per Cliente": the details of a customer's job orders
};

// The view of the section key (a table name, or a report name under "Liste / Stampe").
SectionView SectionViewFor(const QString& key);

// The chooser's table and the field its rows are chosen and shown by.
QString ChooserTable(SectionView::Chooser chooser);
QString ChooserField(SectionView::Chooser chooser);
