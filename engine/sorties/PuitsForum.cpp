// LogFinal-forum.txt : du BBCode en UTF-8 pour les forums de type phpBB. Un titre par jour,
// l'heure en gris, le channel entre crochets, le nom en gras dans la couleur qu'il a sur la page,
// puis le texte ; ce que vous avez dit, les murmures et les appels ont chacun leur style. Rien
// du journal ne devient balise : chaque « [ » qui en vient est suivi d'une espace sans chasse
// (U+200B), qui ne se voit pas mais sépare le crochet du nom de la balise. Avec une taille de
// message, l'extrait est découpé en parties « Partie N/M ».

#include "Formats.h"

#include "Cp1252.h"
#include "Parties.h"
#include "Puits.h"
#include "Traduction.h"

namespace vek {

namespace {

const TableTraduction& TableDuForum = TableForum();

template <class Sortie> void Bb(Sortie& s, std::string_view texte) {
    s.template Traduit<Vers::Forum>(texte, TableDuForum);
}

template <class Sortie>
void RendreForum(Sortie& s, const Enregistrement& e, const Modes& modes,
                 const TeintesDesNoms& teintes) {
    if (!modes.ModeUnlessDate && !e.heure.empty()) {
        s.Balise("[color=#8c959f]");
        s.Balise(e.heure); // des chiffres et des deux-points
        s.Balise("[/color] ");
    }
    if (e.genre == GenreEntree::Channel && !modes.ModeUnlessChannel) {
        Bb(s, e.channel); // « [​Commerce] » : entre crochets, sans ouvrir de balise
        s.Balise(" ");
    }
    if (e.genre == GenreEntree::Murmure)
        s.Balise("[i](murmure)[/i] ");
    else if (e.genre == GenreEntree::Appel || e.genre == GenreEntree::Autre)
        s.Balise("[i](appel)[/i] ");
    if (e.nomMontre) {
        if (e.genre == GenreEntree::Dit) {
            s.Balise("[b][u]");
            Bb(s, e.nom);
            s.Balise("[/u][/b] : ");
        } else {
            s.Balise("[b][color=");
            s.Balise(teintes.Couleur(e.nom));
            s.Balise("]");
            Bb(s, e.nom);
            s.Balise("[/color][/b] : ");
        }
    }
    const bool italique = e.genre == GenreEntree::Murmure;
    s.Balise(italique ? "[i]" : "");
    Bb(s, e.texte);
    s.Balise(italique ? "[/i]\n" : "\n");
}

class PuitsForum : public PuitsMisEnForme {
public:
    explicit PuitsForum(const ContexteSortie& c)
        : contexte_(c), parties_(c.tailleMessage, "[b]Partie ", "[/b]") {}

    void Commencer(EcrivainTexte&) override {
        // Sans taille de message, rien n'est découpé ; sinon les parties s'accumulent d'abord
        // à part (leur nombre n'est connu qu'à la fin).
        if (contexte_.tailleMessage != 0)
            parties_.Nommer(contexte_.chemin);
    }
    bool Finir(EcrivainTexte& fichier, std::string& raison) override {
        if (contexte_.tailleMessage == 0)
            return true;
        return parties_.Terminer(fichier, raison);
    }

protected:
    void Rendre(VersZone& s, const Enregistrement& e, const Modes& m) override {
        RendreForum(s, e, m, contexte_.Teintes());
    }
    void Rendre(VersFichier& s, const Enregistrement& e, const Modes& m) override {
        RendreForum(s, e, m, contexte_.Teintes());
    }
    bool AvecTitres() const override { return true; }
    void Titre(TamponSortie& sortie, Date jour) override {
        // Une ligne vide avant le titre, sauf dans les parties, qui n'en ont pas en leur sein.
        sortie.Ajouter(contexte_.tailleMessage == 0 ? "\n[size=120][b]" : "[size=120][b]");
        sortie.Ajouter(Cp1252VersUtf8(DateLongue(jour)));
        sortie.Ajouter("[/b][/size]\n");
    }
    void Sortir(std::string_view octets, EcrivainTexte& fichier) override {
        // Le fichier ne commence pas par la ligne vide d'avant le premier titre.
        if (!debutEcrit_ && !octets.empty() && octets.front() == '\n')
            octets.remove_prefix(1);
        debutEcrit_ = debutEcrit_ || !octets.empty();
        if (contexte_.tailleMessage == 0)
            fichier.Ecrire(octets);
        else
            parties_.Recevoir(octets);
    }

private:
    ContexteSortie contexte_;
    Empaqueteur parties_;
    bool debutEcrit_ = false; // fil d'écriture seulement
};

} // namespace

std::unique_ptr<Puits> FabriquerForum(const ContexteSortie& contexte) {
    return std::make_unique<PuitsForum>(contexte);
}

} // namespace vek
