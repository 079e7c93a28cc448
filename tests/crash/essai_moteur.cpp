// vek-essai-moteur : le moteur appelé comme vek-extraire ne sait pas le faire, pour le banc de
// coupures. Période du 24/12/2001 au 25/12/2001, tout coché.
//
//   vek-essai-moteur suite JOURNAL DOSSIER AJOUT
//       ce que fait « vek-extraire --suivre » d'un journal qui grandit, sans horloge ni attente :
//       la recherche ; puis les octets d'AJOUT ajoutés au journal, comme le jeu les écrit ; la
//       même recherche, qui ne lit que la suite et prolonge l'extrait ; enfin LogFinal.txt.
//   vek-essai-moteur trois-renommages JOURNAL DOSSIER [FORMAT…]
//       la recherche, puis les formats donnés (les cinq par défaut), chaque échange fait en trois
//       renommages par le nom « temporaire-ancien », comme sous Windows (le système ne sait pas
//       échanger deux noms).
//
// Code 0 si tout a réussi (et, pour suite, si la seconde recherche n'a lu que la suite).

#include <cerrno>
#include <fstream>
#include <iostream>
#include <iterator>

#include "Moteur.h"
#include "Validation.h"

using namespace vek;

namespace {

Issue<ResultatRecherche> Chercher(Moteur& module, const std::string& journal) {
    Progression muette;
    return module.Rechercher({journal, Periode::Jours({2001, 12, 24}, {2001, 12, 25})}, muette);
}

Selection ToutCoche(const Catalogue& catalogue) {
    Selection selection;
    for (const auto texte : NoeudsChannels(catalogue))
        selection.AjouterChannel(texte);
    for (const auto texte : NoeudsNoms(catalogue))
        selection.AjouterNom(texte);
    return selection;
}

int Echec(const Resultat& r) {
    std::cerr << r.Message() << '\n';
    return 1;
}

int Suite(Moteur& module, const std::string& journal, const std::string& ajout) {
    if (const auto r = Chercher(module, journal); !r.ok())
        return Echec(r.Echec());
    std::ifstream f(ajout, std::ios::binary);
    std::ofstream(journal, std::ios::binary | std::ios::app)
        << std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    const auto r = Chercher(module, journal);
    if (!r.ok())
        return Echec(r.Echec());
    if (!r->suite) {
        std::cerr << "la seconde recherche a tout relu : " << r->avisComplet << '\n';
        return 1;
    }
    Progression muette;
    DemandeSorties demande;
    demande.selection = ToutCoche(*r->catalogue);
    const auto e = module.EcrireSorties(demande, muette);
    return e.ok() ? 0 : Echec(e.Echec());
}

// Le système de la validation, moins l'échange de deux noms et le lien physique : chaque échange
// se fait en trois renommages.
struct SansEchangeNiLien : SystemeValidation {
    int EchangerNoms(const NomFichier&, const NomFichier&) override { return ENOSYS; }
    int Remplacer(const NomFichier&, const NomFichier&, const NomFichier&) override {
        return ENOSYS;
    }
};

int TroisRenommages(Moteur& module, const std::string& journal, FormatsSortie formats) {
    const auto r = Chercher(module, journal);
    if (!r.ok())
        return Echec(r.Echec());
    Progression muette;
    DemandeSorties demande;
    demande.selection = ToutCoche(*r->catalogue);
    demande.formats = formats;
    const auto e = module.EcrireSorties(demande, muette);
    return e.ok() ? 0 : Echec(e.Echec());
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "suite" && argc == 5) {
        Moteur module{ReglagesMoteur{argv[3]}};
        return Suite(module, argv[2], argv[4]);
    }
    if (mode == "trois-renommages" && argc >= 4) {
        FormatsSortie formats =
            argc == 4 ? FormatsSortie::De({"texte", "html", "json", "forum", "discord"})
                      : FormatsSortie();
        for (int i = 4; i < argc; ++i) {
            const FormatsSortie un = FormatsSortie::De({argv[i]});
            for (std::size_t rang = 0; rang < 32; ++rang)
                if (un.Contient(rang))
                    formats.Ajouter(rang);
        }
        SansEchangeNiLien systeme;
        ReglagesMoteur reglages{argv[3]};
        reglages.systemeSorties = &systeme;
        Moteur module{reglages};
        return TroisRenommages(module, argv[2], formats);
    }
    std::cerr << "usage : vek-essai-moteur suite JOURNAL DOSSIER AJOUT\n"
                 "        vek-essai-moteur trois-renommages JOURNAL DOSSIER [FORMAT…]\n";
    return 2;
}
