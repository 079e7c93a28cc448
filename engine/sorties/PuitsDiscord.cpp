// LogFinal-discord.txt : du Markdown en UTF-8 tel que Discord l'affiche, en parties d'au plus
// 2000 caractères (la limite d'un message ; --taille-message la change), chacune ouverte par
// « **Partie N/M** » quand il y en a plusieurs. Rien du journal ne met en forme ni ne prévient
// personne : chaque signe de mise en forme est échappé, « @ » et « < » sont suivis d'une espace
// sans chasse, et chaque adresse web est mise entre chevrons (lien sans aperçu).

#include "Formats.h"

#include "Cp1252.h"
#include "Parties.h"
#include "Puits.h"
#include "Traduction.h"

namespace vek {

namespace {

inline constexpr std::size_t LimiteDiscord = 2000;

const TableTraduction& TableDeDiscord = TableDiscord();
const TableTraduction& TableDesAdresses = TableBrute();

bool Debute(std::string_view texte, std::size_t i, std::string_view motif) {
    if (texte.size() - i < motif.size())
        return false;
    for (std::size_t k = 0; k < motif.size(); ++k)
        if ((texte[i + k] | 0x20) != motif[k])
            return false;
    return true;
}

// La fin d'une adresse : une espace, un contrôle, un chevron ou un accent grave.
std::size_t FinAdresse(std::string_view texte, std::size_t i) {
    while (i < texte.size()) {
        const auto c = static_cast<unsigned char>(texte[i]);
        if (c <= 0x20 || c == 0x7F || c == '<' || c == '>' || c == '`' || c == '"')
            break;
        ++i;
    }
    return i;
}

// Le début de l'adresse « http:// » ou « https:// » (sans égard à la casse) dont « :// » est
// en p, ou npos.
std::size_t DebutAdresse(std::string_view texte, std::size_t p) {
    if (p >= 5 && Debute(texte, p - 5, "https://"))
        return p - 5;
    if (p >= 4 && Debute(texte, p - 4, "http://"))
        return p - 4;
    return std::string_view::npos;
}

// Un texte du journal : échappé, ses adresses « http:// » et « https:// » entre chevrons. Les
// adresses sont cherchées par leur « :// », rare dans un texte, plutôt que par chaque « h ».
template <class Sortie> void Md(Sortie& s, std::string_view texte) {
    std::size_t depuis = 0;
    for (std::size_t p = texte.find("://"); p != std::string_view::npos;
         p = texte.find("://", p + 3)) {
        const std::size_t i = DebutAdresse(texte, p);
        if (i == std::string_view::npos || i < depuis)
            continue;
        s.template Traduit<Vers::Discord>(texte.substr(depuis, i - depuis), TableDeDiscord);
        const std::size_t fin = FinAdresse(texte, i);
        s.Balise("<");
        s.template Traduit<Vers::Forum>(texte.substr(i, fin - i), TableDesAdresses);
        s.Balise(">");
        depuis = fin;
    }
    s.template Traduit<Vers::Discord>(texte.substr(depuis), TableDeDiscord);
}

template <class Sortie> void RendreDiscord(Sortie& s, const Enregistrement& e, const Modes& modes) {
    if (!modes.ModeUnlessDate && !e.heure.empty()) {
        s.Balise("`");
        s.Balise(e.heure); // des chiffres et des deux-points
        s.Balise("` ");
    }
    if (e.genre == GenreEntree::Channel && !modes.ModeUnlessChannel) {
        Md(s, e.channel);
        s.Balise(" ");
    }
    if (e.genre == GenreEntree::Murmure)
        s.Balise("*(murmure)* ");
    else if (e.genre == GenreEntree::Appel || e.genre == GenreEntree::Autre)
        s.Balise("*(appel)* ");
    if (e.nomMontre) {
        s.Balise(e.genre == GenreEntree::Dit ? "__**" : "**");
        Md(s, e.nom);
        s.Balise(e.genre == GenreEntree::Dit ? "**__ : " : "** : ");
    }
    Md(s, e.texte);
    s.Balise("\n");
}

class PuitsDiscord : public PuitsMisEnForme {
public:
    explicit PuitsDiscord(const ContexteSortie& c)
        : contexte_(c),
          parties_(c.tailleMessage != 0 ? c.tailleMessage : LimiteDiscord, "**Partie ", "**") {}

    void Commencer(EcrivainTexte&) override {
        // Les parties s'accumulent d'abord à part : leur nombre n'est connu qu'à la fin.
        parties_.Nommer(contexte_.chemin);
    }
    bool Finir(EcrivainTexte& fichier, std::string& raison) override {
        return parties_.Terminer(fichier, raison);
    }

protected:
    void Rendre(VersZone& s, const Enregistrement& e, const Modes& m) override {
        RendreDiscord(s, e, m);
    }
    void Rendre(VersFichier& s, const Enregistrement& e, const Modes& m) override {
        RendreDiscord(s, e, m);
    }
    bool AvecTitres() const override { return true; }
    void Titre(TamponSortie& sortie, Date jour) override {
        sortie.Ajouter("__**");
        sortie.Ajouter(Cp1252VersUtf8(DateLongue(jour)));
        sortie.Ajouter("**__\n");
    }
    void Sortir(std::string_view octets, EcrivainTexte&) override { parties_.Recevoir(octets); }

private:
    ContexteSortie contexte_;
    Empaqueteur parties_;
};

} // namespace

std::unique_ptr<Puits> FabriquerDiscord(const ContexteSortie& contexte) {
    return std::make_unique<PuitsDiscord>(contexte);
}

} // namespace vek
