// The database definition: registration of the table classes.
#include "model/DB.h"

#include <memory>

#include "model/tables/CarichiCommerciale.h"
#include "model/tables/CarichiCommercialeOrdine.h"
#include "model/tables/CaricoPartCommerciale.h"
#include "model/tables/Clienti.h"
#include "model/tables/CommesseAssistenza.h"
#include "model/tables/CommesseCliente.h"
#include "model/tables/CommesseContoVisione.h"
#include "model/tables/CommesseProduzione.h"
#include "model/tables/DedirIdovuduvIrezadiv.h"
#include "model/tables/DettagliAttrezzature.h"
#include "model/tables/DettagliCommesse.h"
#include "model/tables/DettagliProduzione.h"
#include "model/tables/DettagliVenditaMacchinari.h"
#include "model/tables/Fornitori.h"
#include "model/tables/GruppiPassaggi.h"
#include "model/tables/ImpostazioniPromemoria.h"
#include "model/tables/Ingressi.h"
#include "model/tables/MagazzinoMacchinari.h"
#include "model/tables/MagazzinoPartCommerciale.h"
#include "model/tables/MagazzinoPartProduzione.h"
#include "model/tables/NecessitaPartCommerciale.h"
#include "model/tables/NecessitaPartProduzione.h"
#include "model/tables/Operai.h"
#include "model/tables/OrdinePartCommerciale.h"
#include "model/tables/OrdiniCommerciale.h"
#include "model/tables/OrdiniFornitore.h"
#include "model/tables/OrdiniInterni.h"
#include "model/tables/ParticolariAttrezzature.h"
#include "model/tables/PassaggiDettaglioCommesse.h"
#include "model/tables/PeriodiNonLavorativi.h"
#include "model/tables/Promemoria.h"
#include "model/tables/TabProspettiStampa.h"
#include "model/tables/TabStampaEtichette.h"
#include "model/tables/TipiAssenza.h"
#include "model/tables/TipiAssistenza.h"
#include "model/tables/TipiCategoria.h"
#include "model/tables/TipiCommessa.h"
#include "model/tables/Utenti.h"
#include "odb/Schema.h"

void DB::Define(odb::DatabaseDef& def) {
    def.AddTable(std::make_shared<TabStampaEtichette>());
    def.AddTable(std::make_shared<TabProspettiStampa>());
    def.AddTable(std::make_shared<TipiAssenza>());
    def.AddTable(std::make_shared<TipiCategoria>());
    def.AddTable(std::make_shared<TipiCommessa>());
    def.AddTable(std::make_shared<TipiAssistenza>());
    def.AddTable(std::make_shared<DedirIdovuduvIrezadiv>());
    def.AddTable(std::make_shared<Clienti>());
    def.AddTable(std::make_shared<Fornitori>());
    def.AddTable(std::make_shared<Operai>());
    def.AddTable(std::make_shared<Utenti>());
    def.AddTable(std::make_shared<ParticolariAttrezzature>());
    def.AddTable(std::make_shared<PassaggiDettaglioCommesse>());
    def.AddTable(std::make_shared<DettagliCommesse>());
    def.AddTable(std::make_shared<DettagliAttrezzature>());
    def.AddTable(std::make_shared<MagazzinoPartCommerciale>());
    def.AddTable(std::make_shared<MagazzinoPartProduzione>());
    def.AddTable(std::make_shared<NecessitaPartCommerciale>());
    def.AddTable(std::make_shared<NecessitaPartProduzione>());
    def.AddTable(std::make_shared<MagazzinoMacchinari>());
    def.AddTable(std::make_shared<DettagliVenditaMacchinari>());
    def.AddTable(std::make_shared<CommesseCliente>());
    def.AddTable(std::make_shared<DettagliProduzione>());
    def.AddTable(std::make_shared<CommesseProduzione>());
    def.AddTable(std::make_shared<CommesseAssistenza>());
    def.AddTable(std::make_shared<GruppiPassaggi>());
    def.AddTable(std::make_shared<PeriodiNonLavorativi>());
    def.AddTable(std::make_shared<CommesseContoVisione>());
    def.AddTable(std::make_shared<OrdinePartCommerciale>());
    def.AddTable(std::make_shared<OrdiniCommerciale>());
    def.AddTable(std::make_shared<OrdiniFornitore>());
    def.AddTable(std::make_shared<OrdiniInterni>());
    def.AddTable(std::make_shared<CaricoPartCommerciale>());
    def.AddTable(std::make_shared<CarichiCommerciale>());
    def.AddTable(std::make_shared<CarichiCommercialeOrdine>());
    def.AddTable(std::make_shared<Ingressi>());
    def.AddTable(std::make_shared<ImpostazioniPromemoria>());
    def.AddTable(std::make_shared<Promemoria>());
}
