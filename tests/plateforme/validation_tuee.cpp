// Un programme d'essai pour la reprise d'une validation : il cherche dans un journal, écrit trois
// sorties (LogFinal.txt, la page web ou le dossier découpé LogFinal/, LogFinal.jsonl) par la vraie
// validation, et se tue net (SIGKILL, TerminateProcess) juste après sa n-ième opération sur les
// noms : 0, l'enregistrement écrit ; puis chaque échange, renommage, ou lien posé avant un
// remplacement.
//
//   vek-validation-tuee DOSSIER JOURNAL N echange|lien|trois [decoupe]
//
// Code de sortie : 0 si la validation a fini avant la n-ième opération, 2 sur une erreur ; tué,
// 137.

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <unistd.h>
#endif

#include "Moteur.h"
#include "SystemeValidationEssai.h"

namespace {

using vek::test::SystemeDEssai;

[[noreturn]] void Tuer() {
#ifdef _WIN32
    TerminateProcess(GetCurrentProcess(), 137);
#else
    ::kill(::getpid(), SIGKILL);
#endif
    std::abort();
}

// Le système de la validation, qui compte les opérations faites sur les noms et tue le programme
// après la n-ième. Sans échange de noms, le remplacement par lien physique est fait ici en deux
// temps (le lien, puis le renommage) pour que le programme puisse être tué entre les deux.
class Tueur : public SystemeDEssai {
public:
    Tueur(Noms n, long arret) : SystemeDEssai(n), reste_(arret) {}

    int EcrireEnregistrement(const vek::NomFichier& chemin, std::string_view texte,
                             std::string& raison) override {
        return Compter(SystemeDEssai::EcrireEnregistrement(chemin, texte, raison));
    }
    int EchangerNoms(const vek::NomFichier& a, const vek::NomFichier& b) override {
        return Compter(SystemeDEssai::EchangerNoms(a, b));
    }
    int Remplacer(const vek::NomFichier& source, const vek::NomFichier& cible,
                  const vek::NomFichier& garage) override {
        if (noms != Noms::Lien)
            return SystemeDEssai::Remplacer(source, cible, garage);
        std::error_code e;
        std::filesystem::create_hard_link(cible, garage, e);
        if (e)
            return ENOSYS;
        Compter(0);
        if (const int echec = SystemeValidation::Renommer(source, cible); echec != 0) {
            std::filesystem::remove(garage, e);
            return echec;
        }
        return Compter(0);
    }
    int Renommer(const vek::NomFichier& source, const vek::NomFichier& cible) override {
        return Compter(SystemeDEssai::Renommer(source, cible));
    }

private:
    long reste_;
    int Compter(int rendu) {
        if (rendu == 0 && reste_-- == 0)
            Tuer();
        return rendu;
    }
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::cerr << "usage : vek-validation-tuee DOSSIER JOURNAL N echange|lien|trois [decoupe]\n";
        return 2;
    }
    const std::string_view facon = argv[4];
    const SystemeDEssai::Noms noms = facon == "echange" ? SystemeDEssai::Noms::Echange
                                     : facon == "lien"  ? SystemeDEssai::Noms::Lien
                                                        : SystemeDEssai::Noms::TroisRenommages;
    Tueur tueur(noms, std::strtol(argv[3], nullptr, 10));
    vek::ReglagesMoteur reglages;
    reglages.dossier = argv[1];
    reglages.systemeSorties = &tueur;
    vek::Moteur moteur{reglages};
    vek::Progression progression;
    const auto recherche = moteur.Rechercher(
        {std::string(argv[2]), vek::Periode::Jours({2001, 12, 24}, {2001, 12, 24})}, progression);
    if (!recherche.ok())
        return 2;
    vek::DemandeSorties demande;
    demande.selection.AjouterChannel("[Commerce]");
    demande.selection.AjouterNom("Aldric");
    demande.formats = vek::FormatsSortie::De({"texte", "html", "json"});
    demande.jour = vek::Date{2002, 12, 7};
    if (argc > 5 && std::string_view(argv[5]) == "decoupe")
        demande.decoupage = vek::Decoupage::Jour;
    const auto r = moteur.EcrireSorties(demande, progression);
    if (!r.ok()) {
        std::cerr << r.Echec().Message() << '\n';
        return 2;
    }
    return 0;
}
