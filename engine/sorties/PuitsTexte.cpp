// LogFinal.txt : la bannière, chaque ligne retenue telle que la réécriture l'a laissée, suivie
// de CR LF, et le pied, en Windows-1252.

#include "Formats.h"

#include "Ecriture.h"
#include "Identite.h"
#include "Puits.h"

namespace vek {

namespace {

const std::string Etoiles(68, '*');

std::string Espaces(std::size_t n, std::string_view texte) {
    return std::string(n, ' ').append(texte);
}

class PuitsTexte : public Puits {
public:
    explicit PuitsTexte(const ContexteSortie& c) : jour_(c.jour) {}

    void Commencer(EcrivainTexte& f) override {
        f.EcrireLigne(Etoiles);
        f.EcrireLigne(Etoiles);
        f.EcrireLigne(Espaces(21, TitreApplication));
        f.EcrireLigne(Espaces(18, "LOG extrait le : ") + DateLongue(jour_));
        f.EcrireLigne(Etoiles);
        f.EcrireLigne(Etoiles);
        for (int i = 0; i < 3; ++i)
            f.EcrireLigne("");
    }
    void Preparer(Lot& lot) override {
        Etat& etat = EtatDe<Etat>(lot);
        if (etat.octets.capacity() > (std::size_t{8} << 20))
            std::string().swap(etat.octets); // après une ligne démesurée
        etat.octets.clear();
        etat.longue = {};
    }
    void Ajouter(Lot& lot, const Enregistrement& e, bool demesuree) override {
        Etat& etat = EtatDe<Etat>(lot);
        if (demesuree)
            etat.longue = e.ligne; // écrite là où elle est, sans copie
        else
            etat.octets.append(e.ligne).append("\r\n", 2);
    }
    void Ecrire(Lot& lot, EcrivainTexte& f) override {
        const Etat& etat = EtatDe<Etat>(lot);
        f.Ecrire(etat.octets);
        if (!etat.longue.empty()) {
            f.Ecrire(etat.longue);
            f.Ecrire("\r\n");
        }
    }
    bool Finir(EcrivainTexte& f, std::string&) override {
        for (int i = 0; i < 3; ++i)
            f.EcrireLigne("");
        f.EcrireLigne(Etoiles);
        f.EcrireLigne(Etoiles);
        f.EcrireLigne(Espaces(25, TitreApplication));
        f.EcrireLigne(Espaces(18, "Merci d'avoir utiliser ce petit logiciel"));
        f.EcrireLigne(Espaces(24, "Pour tout renseignement :"));
        f.EcrireLigne(Espaces(24, AdresseContact));
        f.EcrireLigne(Etoiles);
        f.EcrireLigne(Etoiles);
        return true;
    }

private:
    struct Etat : EtatDeLot {
        std::string octets;
        std::string_view longue;
    };
    Date jour_;
};

} // namespace

std::unique_ptr<Puits> FabriquerTexte(const ContexteSortie& contexte) {
    return std::make_unique<PuitsTexte>(contexte);
}

} // namespace vek
