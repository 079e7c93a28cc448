#pragma once
// Le montage commun des essais de sorties : un moteur qui écrit dans un dossier temporaire, la
// recherche d'un journal sur une période et les deux arbres tout cochés.

#include <gtest/gtest.h>

#include <string>

#include "DossierTemporaire.h"
#include "OutilsMoteur.h"

namespace vek::test {

class PasseDEssai : public ::testing::Test {
protected:
    DossierTemporaire dossier;
    Moteur module{Reglages(dossier.Chemin())};
    ReglagesEcriture ecriture;
    ProgressionNotee progression;
    ArbresCoches arbres;

    // Écrit le journal (son contenu) dans le dossier, le cherche du jour debut au jour fin et
    // coche chaque nœud du catalogue.
    void ChercherToutCocher(const std::string& journal, Date debut, Date fin) {
        const auto r =
            Chercher(module, dossier.Ecrire("journal.txt", journal), debut, fin, progression);
        ASSERT_TRUE(r.ok()) << r.Echec().Message();
        arbres.Remplir(*r->catalogue);
        arbres.ToutCocher(arbres.channels);
        arbres.ToutCocher(arbres.noms);
    }
};

} // namespace vek::test
