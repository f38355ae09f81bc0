// The data view of each section.
#include "mainwindow/SectionViews.h"

SectionView SectionViewFor(const QString& key) {
    using Chooser = SectionView::Chooser;
    SectionView v;
    v.table = key;
    if (key == "CommesseCliente") {
        v.fields = "*,Cliente,Progressivo,CommessaChiusa";
        v.order = "Progressivo DESC";
    } else if (key == "CommesseProduzione") {
        v.fields = "*,Macchinario,Progressivo,CommessaChiusa";
        v.order = "Progressivo DESC";
    } else if (key == "CommesseAssistenza") {
        v.fields = "*,Cliente,Progressivo,Chiuso,Sospeso,CostoTotale,TipoAssistenza,DataInserimento";
        v.order = "Progressivo DESC";
    } else if (key == "Ingressi") {
        v.fields = "*,Operaio";
    } else if (key == "Per Cliente") {
        v.table = "DettagliCommesse";
        v.fields =
            "*,(DettagliAttrezzature.Particolare & DettagliVenditaMacchinari.Macchinario) As Dettaglio";
        v.chooser = Chooser::Customer;
        v.customerDetails = true;
    } else if (key == "Spedite") {
        v.table = "DettagliVenditaMacchinari";
        v.fields = "*,CommesseCliente.Cliente";
        v.where = "CommesseCliente.Spedito";
        v.title = "MACCHINARI VENDUTI (SPEDITI) ";
    } else if (key == "da Spedire") {
        v.table = "DettagliVenditaMacchinari";
        v.fields = "*,CommesseCliente.Cliente";
        v.where = "NOT CommesseCliente.Spedito";
        v.title = "MACCHINARI IN LAVORAZIONE (NON SPEDITI) ";
    } else if (key == "Scheda") {
        v.table = "PassaggiDettaglioCommesse";
        v.chooser = Chooser::Worker;
    } else if (key == "Scheda Accessi") {
        v.table = "Ingressi";
        v.chooser = Chooser::Worker;
    } else if (key == "Costi Dettagli ") {
        v.table = "DettagliCommesse";
        v.title = "Stampa dei costi per i dettagli delle commesse";
    } else if (key == "Dettalio con Passaggi") {
        v.table = "DettagliCommesse";
        v.chooser = Chooser::Detail;
        v.title = "Stampa costo dettaglio con passaggi";
    }
    return v;
}

QString ChooserTable(SectionView::Chooser chooser) {
    switch (chooser) {
        case SectionView::Chooser::Customer:
            return QStringLiteral("Clienti");
        case SectionView::Chooser::Worker:
            return QStringLiteral("Operai");
        case SectionView::Chooser::Detail:
            return QStringLiteral("DettagliCommesse");
        case SectionView::Chooser::None:
            break;
    }
    return {};
}

QString ChooserField(SectionView::Chooser chooser) {
    switch (chooser) {
        case SectionView::Chooser::Customer:
            return QStringLiteral("Descrizione");
        case SectionView::Chooser::Worker:
            return QStringLiteral("Nominativo");
        case SectionView::Chooser::Detail:
            return QStringLiteral("NumeroCommessa");
        case SectionView::Chooser::None:
            break;
    }
    return {};
}
