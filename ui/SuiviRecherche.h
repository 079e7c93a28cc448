#pragma once
// Ce que la fenêtre principale dit d'une recherche : la ligne du bilan sous les arbres, la
// raison d'un résultat vide, les limites du catalogue, des arbres qui ne disent plus la période
// des champs ; l'ordre des nœuds des arbres ; la règle des champs de date.

#include <QString>

#include <optional>
#include <string_view>
#include <vector>

#include "Moteur.h"

// « 1 250 » : les milliers séparés par une espace insécable.
QString NombreGroupe(std::uint64_t n);

// « Recherche du 24/12/2001 21:10 au 24/12/2001 23:40 : 1 250 lignes, 12 channels,
// 48 personnes ».
QString BilanRecherche(const vek::ResultatRecherche& resultat);
// Le bilan, suivi des limites du catalogue quand elles sont atteintes (sur une seconde ligne).
QString BilanEtLimites(const vek::ResultatRecherche& resultat);
// Pourquoi une recherche n'a rien trouvé (période inversée, journal sans ligne datée, aucune
// ligne datée dans la période) ; rien quand elle a trouvé des lignes.
std::optional<QString> RaisonRechercheVide(const vek::ResultatRecherche& resultat);
// Les tables du catalogue pleines : combien de channels et de personnes ont été laissés de
// côté ; vide si aucune ne l'est.
QString TexteLimites(const vek::Catalogue& catalogue);
// Les champs ne disent plus la période d'où viennent les arbres.
QString TexteArbresPerimes(const vek::Periode& periode);
QString QuestionArbresPerimes(const vek::Periode& periode);

// Les nœuds triés à la française, sans égard à la casse et avec les accents (« Éloïse » entre
// « Eloi » et « Emma ») ; les pseudo-nœuds (« Zone de proximité », « Vous (ce que vous avez
// dit) », « Vos Whisps reçus ») restent en tête, dans cet ordre.
void TrierNoeuds(std::vector<std::string_view>& noeuds);

// La règle des champs de date : ce qu'un champ doit contenir, pour son info-bulle.
QString FormesDeDate();
// Le texte d'un champ de date quand le calendrier y met un jour : l'heure qu'il porte déjà est
// gardée (« 24/12/2001 21:10 » devient « 25/12/2001 21:10 »).
QString JourAvecHeure(const QString& ancien, vek::Date jour);
