// La page web : LogFinal.html, un seul fichier en UTF-8 sans ressource extérieure ni script, ou,
// découpée par jour ou par mois, le dossier LogFinal/ (une page par jour ou par mois, qui
// continue au-delà de 5 000 entrées, et son sommaire). Un titre par jour, l'heure dans sa colonne
// et lien de l'entrée vers elle-même, le channel en badge de couleur, « Nom : texte ».
//
// Les fils de travail mettent chaque entrée en forme, en deux morceaux : son ouverture (avec les
// classes que lisent les filtres) et le reste ; le fil d'écriture pose entre les deux l'ancre de
// l'entrée, et autour les jours, les séries et les pages, qui dépendent de tout ce qui précède.

#include "Formats.h"

#include "Cp1252.h"
#include "DossierPages.h"
#include "Ecriture.h"
#include "Identite.h"
#include "PageWeb.h"
#include "Puits.h"
#include "Selection.h"
#include "Traduction.h"

#include <charconv>
#include <unordered_map>

namespace vek {

namespace {

const TableTraduction& TableDeLaPage = TablePage();

template <class Sortie> void Html(Sortie& s, std::string_view texte) {
    s.template Traduit<Vers::Page>(texte, TableDeLaPage);
}

template <class Sortie> void Nombre(Sortie& s, int n) {
    char texte[16];
    const auto fin = std::to_chars(texte, texte + sizeof texte, n).ptr;
    s.Balise(std::string_view(texte, static_cast<std::size_t>(fin - texte)));
}

std::string_view BaliseBadge(std::string_view tag) {
    static const std::array<std::string, TeintesChannels> balises = [] {
        std::array<std::string, TeintesChannels> b;
        for (int i = 0; i < TeintesChannels; ++i)
            b[static_cast<std::size_t>(i)] = "<b class=c" + std::to_string(i) + ">";
        return b;
    }();
    return balises[static_cast<std::size_t>(TeinteChannel(tag))];
}

std::string_view BaliseNom(std::string_view nom, const TeintesDesNoms& teintes) {
    static const std::array<std::string, TeintesNoms> balises = [] {
        std::array<std::string, TeintesNoms> b;
        for (int i = 0; i < TeintesNoms; ++i)
            b[static_cast<std::size_t>(i)] = "<u class=n" + std::to_string(i) + ">";
        return b;
    }();
    return balises[static_cast<std::size_t>(teintes.Teinte(nom))];
}

// Ce que le fil d'écriture doit savoir d'une entrée mise en forme.
struct EntreePage {
    std::size_t coupure = 0, fin = 0; // dans les octets du lot : l'ancre, la fin de l'entrée
    std::optional<Date> date;
    char heure[8] = {};
    bool aHeure = false;
    bool montrerHeure = false;
    bool demesuree = false;
    int channel = -1, nom = -1, genre = -1; // rangs des filtres, -1 : aucun
};

struct EtatPage : EtatDeLot {
    TamponSortie octets;
    std::vector<EntreePage> entrees;
    std::optional<Enregistrement> demesuree;
    Modes modes;
};

// Le journal d'où vient une ligne fusionnée, pour l'info-bulle de son entrée : en UTF-8, échappé
// pour un attribut (guillemets compris), les caractères de contrôle rendus visibles.
std::string TitreDeSource(std::string_view source) {
    std::string titre;
    for (const char c : Cp1252VersUtf8(source)) {
        const auto o = static_cast<unsigned char>(c);
        if (c == '&')
            titre += "&amp;";
        else if (c == '<')
            titre += "&lt;";
        else if (c == '>')
            titre += "&gt;";
        else if (c == '"')
            titre += "&quot;";
        else if (o < 0x20 || o == 0x7F)
            titre += "&#xFFFD;";
        else
            titre += c;
    }
    return titre;
}

// L'ouverture d'une entrée : « <p class="… k2 q7 s"> », et « title="journal.txt" » pour une
// ligne d'une fusion.
template <class Sortie>
void RendreOuverture(Sortie& s, const EntreePage& x, std::string_view genre,
                     std::string_view source) {
    const bool classes = !genre.empty() || x.channel >= 0 || x.nom >= 0 || !x.montrerHeure;
    if (!source.empty()) {
        s.Balise("<p title=\"");
        s.Balise(TitreDeSource(source));
        s.Balise(classes ? "\" class=\"" : "\">");
    } else {
        s.Balise(classes ? "<p class=\"" : "<p>");
    }
    if (!classes)
        return;
    std::string_view sep;
    if (!genre.empty()) {
        s.Balise(genre);
        sep = " ";
    }
    if (x.channel >= 0) {
        s.Balise(sep);
        s.Balise("k");
        Nombre(s, x.channel);
        sep = " ";
    }
    if (x.nom >= 0) {
        s.Balise(sep);
        s.Balise("q");
        Nombre(s, x.nom);
        sep = " ";
    }
    if (!x.montrerHeure) {
        s.Balise(sep);
        s.Balise("s");
    }
    s.Balise("\">");
}

// Le reste d'une entrée, après son ancre : badge, nom, texte.
template <class Sortie>
void RendreSuite(Sortie& s, const Enregistrement& e, const Modes& modes,
                 const TeintesDesNoms& teintes) {
    if (e.genre == GenreEntree::Channel && !modes.ModeUnlessChannel) {
        s.Balise(BaliseBadge(e.channel));
        Html(s, e.channel);
        s.Balise("</b> ");
    }
    if (e.nomMontre) {
        s.Balise(e.genre == GenreEntree::Dit ? std::string_view("<u>") : BaliseNom(e.nom, teintes));
        Html(s, e.nom);
        s.Balise("</u> : ");
    }
    Html(s, e.texte);
    s.Balise("</p>\n");
}

class PuitsPage : public Puits {
public:
    PuitsPage(const ContexteSortie& c) : contexte_(c), pages_(c) {
        const Selection* sel = c.selection;
        for (std::size_t i = 0; sel && i < sel->NombreChannels(); ++i)
            channels_.emplace(sel->Channel(i), static_cast<int>(i));
        for (std::size_t i = 0; sel && i < sel->NombreNoms(); ++i) {
            noms_.emplace(sel->Nom(i), static_cast<int>(i));
            noms_.emplace(RognerEspaces(sel->Nom(i)), static_cast<int>(i));
        }
        vous_ = sel ? static_cast<int>(sel->NombreNoms()) : -1;
    }
    void Commencer(EcrivainTexte& fichier) override { pages_.Commencer(fichier); }
    void Preparer(Lot& lot) override {
        EtatPage& m = EtatDe<EtatPage>(lot);
        constexpr std::size_t Garde = std::size_t{8} << 20;
        m.octets.Vider(Garde);
        m.entrees.clear();
        m.demesuree.reset();
        m.modes = lot.modes;
    }
    void Ajouter(Lot& lot, const Enregistrement& e, bool demesuree) override;
    void Ecrire(Lot& lot, EcrivainTexte& fichier) override;
    bool Finir(EcrivainTexte& fichier, std::string& raison) override {
        (void)fichier;
        return pages_.Finir(raison);
    }
    std::optional<SortieAValider> ConfierDossier() override { return pages_.Confier(); }
    std::uint64_t EntreesEcrites() const override { return pages_.Entrees(); }

private:
    int Rang(const std::unordered_map<std::string_view, int>& rangs, std::string_view t) const {
        const auto i = rangs.find(t);
        return i == rangs.end() ? -1 : i->second;
    }
    ContexteSortie contexte_;
    PagesEnCours pages_; // fil d'écriture seulement
    std::unordered_map<std::string_view, int> channels_, noms_;
    int vous_ = -1;
};

void PuitsPage::Ajouter(Lot& lot, const Enregistrement& e, bool demesuree) {
    EtatPage& m = EtatDe<EtatPage>(lot);
    EntreePage x;
    x.date = e.date;
    x.aHeure = e.heure.size() == 8;
    if (x.aHeure)
        std::copy(e.heure.begin(), e.heure.end(), x.heure);
    x.montrerHeure = x.aHeure && !lot.modes.ModeUnlessDate;
    if (e.genre == GenreEntree::Channel || e.genre == GenreEntree::Proximite)
        x.channel = Rang(channels_, e.channel);
    x.nom = e.genre == GenreEntree::Dit ? vous_ : Rang(noms_, e.nom);
    x.genre = e.genre == GenreEntree::Dit       ? 0
              : e.genre == GenreEntree::Murmure ? 1
              : e.genre == GenreEntree::Appel   ? 2
                                                : -1;
    x.demesuree = demesuree;
    if (demesuree) {
        m.demesuree = e;
        x.coupure = x.fin = m.octets.Taille();
        m.entrees.push_back(x);
        return;
    }
    {
        VersZone zone(m.octets, VersZone::Place(0));
        RendreOuverture(zone, x, NomsGenre(e.genre).classe, e.source);
    }
    x.coupure = m.octets.Taille();
    {
        VersZone zone(m.octets, VersZone::Place(e.texte.size() + e.nom.size() + e.channel.size()));
        RendreSuite(zone, e, lot.modes, contexte_.Teintes());
    }
    x.fin = m.octets.Taille();
    m.entrees.push_back(x);
}

void PuitsPage::Ecrire(Lot& lot, EcrivainTexte& fichier) {
    (void)fichier;
    EtatPage& m = EtatDe<EtatPage>(lot);
    const std::string_view octets = m.octets.Vue();
    std::size_t debut = 0;
    for (const EntreePage& x : m.entrees) {
        InfosEntree infos{x.date,         std::string_view(x.heure, x.aHeure ? 8 : 0),
                          x.montrerHeure, !m.modes.ModeUnlessDate,
                          x.channel,      x.nom,
                          x.genre};
        pages_.Entree(infos);
        if (x.demesuree) {
            TamponSortie ouverture;
            {
                VersZone zone(ouverture, VersZone::Place(0));
                RendreOuverture(zone, x, NomsGenre(m.demesuree->genre).classe, m.demesuree->source);
            }
            pages_.Sortir(ouverture.Vue());
            pages_.Ancre(infos);
            VersFichier s(
                pages_.Courant(),
                [](void* p, std::string_view o, EcrivainTexte&) {
                    static_cast<PagesEnCours*>(p)->Sortir(o);
                },
                &pages_);
            RendreSuite(s, *m.demesuree, m.modes, contexte_.Teintes());
        } else {
            pages_.Sortir(octets.substr(debut, x.coupure - debut));
            pages_.Ancre(infos);
            pages_.Sortir(octets.substr(x.coupure, x.fin - x.coupure));
        }
        debut = x.fin;
    }
}

} // namespace

std::unique_ptr<Puits> FabriquerPage(const ContexteSortie& contexte) {
    return std::make_unique<PuitsPage>(contexte);
}

} // namespace vek
