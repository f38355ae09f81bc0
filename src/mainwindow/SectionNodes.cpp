// The section tree's nodes.
#include "mainwindow/SectionNodes.h"

namespace {

SectionNode node(int parent, const QString& key, const QString& text, const QString& image) {
    return SectionNode{parent, key, text, image, SectionNode::TextFrom::Given, false};
}
// A node whose text is the title of the table named by its key.
SectionNode titled(int parent, const QString& key, const QString& image) {
    return SectionNode{parent, key, QString(), image, SectionNode::TextFrom::TableTitle, false};
}

}  // namespace

const std::vector<SectionNode>& SectionNodes() {
    static const std::vector<SectionNode> nodes = [] {
        std::vector<SectionNode> n = {
            node(0, "", "Commesse", "Production"),  // 1
            node(1, "CommesseCliente", "Cliente", "Client"),
            node(2, "CommesseContoVisione", "In Conto Visione", "Client"),
            node(1, "CommesseProduzione", "Produzione", "ProductionElement"),
            node(1, "CommesseAssistenza", "Assistenza", "Help"),
            node(0, "", "Ordini Commerciale", "Load"),  // 6
            node(6, "OrdiniFornitore", "Per Fornitore", "Load"),
            node(6, "OrdiniInterni", "Magazzino", "Load"),
            node(6, "OrdiniCommerciale", "Tutti", "Load"),
            node(9, "OrdinePartCommerciale", "Particolari", "Load"),
            node(0, "", "Carichi Commerciale", "ProductLoad"),  // 11
            node(11, "CarichiCommercialeOrdine", "Da Ordine", "ProductLoad"),
            node(11, "CarichiCommerciale", "Tutti", "ProductLoad"),
            node(13, "CaricoPartCommerciale", "Particolari", "ProductLoad"),
            node(0, "", "Controllo Accessi", "AccessControl"),  // 15
            titled(15, "Ingressi", "AccessControl"),
            titled(15, "PeriodiNonLavorativi", "AccessControl"),
            node(0, "", "Liste / Stampe", "Report"),  // 18
            node(18, "", "Commesse", "ReportElement"),
            node(19, "Per Cliente", "Per Cliente", "ReportElement"),
            node(19, "Costi Dettagli ", "Costi Dettagli ", "ReportElement"),
            node(21, "Dettalio con Passaggi", "Dettalio con Passaggi", "ReportElement"),
            node(18, "", "Macchine", "ReportElement"),  // 23
            node(23, "Spedite", "Spedite", "ReportElement"),
            node(23, "da Spedire", "da Spedire", "ReportElement"),
            node(18, "", "Operai", "ReportElement"),  // 26
            node(26, "Scheda", "Scheda", "ReportElement"),
            node(26, "Scheda Accessi", "Scheda Accessi", "ReportElement"),
            node(0, "", "Magazzino", "Article"),  // 29
            node(29, "MagazzinoPartCommerciale", "Particolari Commerciale", "Article"),
            node(29, "MagazzinoPartProduzione", "Particolari Produzione", "Article"),
            node(29, "MagazzinoMacchinari", "Macchinari", "Article"),
            titled(29, "ParticolariAttrezzature", "Article"),
            node(0, "", "Anagrafica", "Anagrafic"),  // 34
            titled(34, "Clienti", "AnagraficPerson"),
            titled(34, "Fornitori", "AnagraficPerson"),
            titled(34, "Operai", "AnagraficPerson"),
            titled(34, "Utenti", "User"),
            node(38, "", "Connessioni", "User"),  // 39: keyed by the connections table
            node(0, "", "Tabelle", "Archive"),    // 40
            titled(40, "DedirIdovuduvIrezadiv", "Archive"),
            titled(40, "TipiAssistenza", "Archive"),
            titled(40, "TipiAssenza", "Archive"),
            titled(40, "TipiCategoria", "Archive"),
            titled(40, "TipiCommessa", "Archive"),
            titled(40, "TabStampaEtichette", "Archive"),
            titled(40, "TabProspettiStampa", "Archive"),
            titled(40, "DettagliCommesse", "Archive"),
            titled(48, "PassaggiDettaglioCommesse", "Archive"),
            titled(40, "GruppiPassaggi", "Archive"),
            titled(40, "ImpostazioniPromemoria", "Archive"),
            titled(40, "Promemoria", "Archive"),
        };
        n[38].connectionsTable = true;
        return n;
    }();
    return nodes;
}

const std::vector<QString>& SectionImageKeys() {
    static const std::vector<QString> keys = {
        "Load",          "Help",        "Report",           "ProductionElement",
        "ReportElement", "Operation",   "OperationElement", "Anagrafic",
        "Article",       "User",        "AnagraficPerson",  "Client",
        "Production",    "ProductLoad", "Archive",          "AccessControl"};
    return keys;
}
