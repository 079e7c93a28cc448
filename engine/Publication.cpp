// Publication d'un extrait : page web et lignes JSON.

#include "Publication.h"

#include "ChaineDeLots.h"
#include "Cp1252.h"
#include "Ecriture.h"
#include "Ligne.h"
#include "ModuleVEK.h"

#include "Traduction.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace vek {

namespace {

// Les tables, faites une fois avant la première passe (et non cherchées à chaque morceau).
const TableTraduction& TableDeLaPage = TablePage();
const TableTraduction& TableDuJson = TableJson();

template <bool EnJson>
void Traduire(TamponSortie& sortie, std::string_view texte, const TableTraduction& table) {
    char* const debut = sortie.Place(texte.size() * ExpansionMax + 16);
    sortie.Avancer(static_cast<std::size_t>(TraduireVers<EnJson>(debut, texte, table) - debut));
}

void TraduireHtml(TamponSortie& sortie, std::string_view texte) {
    Traduire<false>(sortie, texte, TableDeLaPage);
}

void TraduireJson(TamponSortie& sortie, std::string_view texte) {
    Traduire<true>(sortie, texte, TableDuJson);
}

void TraduireHtml(std::string& sortie, std::string_view texte) {
    TamponSortie t;
    TraduireHtml(t, texte);
    sortie.append(t.Vue());
}

// Où va une mise en forme : la place réservée d'un coup dans un tampon pour une entrée (écrite
// sans autre vérification), ou un fichier par morceaux (ligne démesurée, qui n'est jamais copiée
// en entier).
class VersZone {
public:
    // maximum : ce que l'entrée peut écrire au plus (Place).
    VersZone(TamponSortie& t, std::size_t maximum) : t_(t), debut_(t.Place(maximum)), d_(debut_) {}
    ~VersZone() { t_.Avancer(static_cast<std::size_t>(d_ - debut_)); }
    VersZone(const VersZone&) = delete;
    VersZone& operator=(const VersZone&) = delete;
    // La place d'une entrée : ses textes traduits, et ses balises.
    static std::size_t Place(std::size_t octetsDeTexte) {
        return octetsDeTexte * ExpansionMax + 8 * 16 + 256;
    }
    void Balise(std::string_view texte) {
        if (texte.empty())
            return;
        std::memcpy(d_, texte.data(), texte.size());
        d_ += texte.size();
    }
    void Html(std::string_view texte) { d_ = TraduireVers<false>(d_, texte, TableDeLaPage); }
    void Json(std::string_view texte) { d_ = TraduireVers<true>(d_, texte, TableDuJson); }
    // Le texte puis la ligne, dont il est la fin : sa traduction n'est faite qu'une fois.
    void TexteEtLigne(std::string_view ligne, std::size_t debutTexte, std::string_view entre) {
        char* const texte = d_;
        Json(ligne.substr(debutTexte));
        const auto traduit = static_cast<std::size_t>(d_ - texte);
        Balise(entre);
        Json(ligne.substr(0, debutTexte));
        std::memmove(d_, texte, traduit);
        d_ += traduit;
    }

private:
    TamponSortie& t_;
    char* const debut_;
    char* d_;
};

class VersFichier {
public:
    explicit VersFichier(EcrivainTexte& f) : f_(f) {}
    ~VersFichier() { Vider(); }
    VersFichier(const VersFichier&) = delete;
    VersFichier& operator=(const VersFichier&) = delete;
    void Balise(std::string_view texte) { t_.Ajouter(texte); }
    void Html(std::string_view texte) { ParMorceaux(texte, TraduireHtml); }
    void Json(std::string_view texte) { ParMorceaux(texte, TraduireJson); }
    void TexteEtLigne(std::string_view ligne, std::size_t debutTexte, std::string_view entre) {
        Json(ligne.substr(debutTexte));
        Balise(entre);
        Json(ligne);
    }

private:
    void ParMorceaux(std::string_view texte, void (*traduire)(TamponSortie&, std::string_view)) {
        constexpr std::size_t Morceau = std::size_t{1} << 16;
        for (std::size_t i = 0; i < texte.size(); i += Morceau) {
            traduire(t_, texte.substr(i, Morceau));
            if (t_.Taille() >= Morceau)
                Vider();
        }
    }
    void Vider() {
        f_.Ecrire(t_.Vue());
        t_.Vider();
    }

    EcrivainTexte& f_;
    TamponSortie t_;
};

} // namespace

namespace {

// Teintes tous les 10° (noms) et tous les 30° (badges), chacune assez sombre pour se lire sur
// le blanc (noms) ou porter un texte blanc (badges) avec un contraste d'au moins 5 pour 1.
constexpr std::array<std::string_view, TeintesNoms> CouleursNoms = {
    "#c52020", "#c53c20", "#b6501e", "#a25e1a", "#916818", "#7f6d15", "#727213", "#667613",
    "#577914", "#477b14", "#377d14", "#267f15", "#158115", "#157f26", "#157f38", "#157f4a",
    "#147d5a", "#147d6c", "#147b7b", "#17798c", "#1a75a2", "#1f70c1", "#2057c5", "#203cc5",
    "#2020c5", "#3c20c5", "#5720c5", "#7320c5", "#8e20c5", "#aa20c5", "#bf1fbf", "#c520aa",
    "#c5208e", "#c52073", "#c52057", "#c5203c"};
constexpr std::array<std::string_view, TeintesChannels> CouleursChannels = {
    "#a64e30", "#806a25", "#5e7321", "#397b24", "#247b39", "#237963",
    "#29758e", "#304ea6", "#4e30a6", "#8930a6", "#a63089", "#a6304e"};

// Les styles de la page. Les lignes gardent leurs espaces (pre-wrap). La date et l'heure
// restent dans le texte de chaque entrée (une entrée copiée redonne sa ligne de LogFinal.txt),
// mais seule l'heure se voit : le titre du jour dit la date.
constexpr std::string_view Styles = R"(:root{color-scheme:light}
*{box-sizing:border-box}
html{-webkit-text-size-adjust:100%;text-size-adjust:100%}
body{margin:0 auto;max-width:62em;padding:1em 1em 2em;background:#fff;color:#1f2328;font:16px/1.5 system-ui,-apple-system,"Segoe UI",Roboto,"Noto Sans","DejaVu Sans",sans-serif}
header{border-bottom:2px solid #2b3a55;margin-bottom:1em;padding-bottom:.6em}
h1{margin:0 0 .5em;color:#2b3a55;font-size:1.6em;line-height:1.2}
dl{display:grid;grid-template-columns:max-content 1fr;gap:.25em 1em;margin:0}
dt{color:#57606a;font-weight:600}
dd{margin:0}
h2{margin:1.5em 0 .4em;padding:.2em .6em;border-left:4px solid #2b3a55;border-radius:3px;background:#eef1f6;color:#2b3a55;font-size:1.05em}
main p{margin:0;padding:.15em .5em .15em 6.1em;text-indent:-5.6em;border-left:3px solid transparent;white-space:pre-wrap;overflow-wrap:anywhere}
main p:nth-of-type(even){background:#f8f9fa}
main p>i:first-child{display:inline-block;width:8ch;margin-right:1.1em;overflow:hidden;vertical-align:top;white-space:pre;text-indent:-11ch;color:#6e7781;font:.85em/1.75 ui-monospace,"DejaVu Sans Mono",Menlo,Consolas,monospace}
main p.s{padding-left:.5em;text-indent:0}
b{padding:0 .4em;border-radius:.35em;background:#57606a;color:#fff;font-size:.85em;font-weight:600;white-space:nowrap}
b.z{background:#57606a}
u{text-decoration:none;font-weight:600}
main p.p{border-left-color:#8c959f}
main p.d{border-left-color:#0969da;background:#eef5ff}
main p.d>u{color:#0550ae}
main p.m{border-left-color:#8250df;background:#f6f0ff;font-style:italic}
main p.a{border-left-color:#bf8700;background:#fff8e5}
main p.a>u,main p.m>u{font-style:normal}
footer{margin-top:2em;padding-top:.6em;border-top:1px solid #d0d7de;color:#57606a;font-size:.85em}
@media (max-width:34em){body{padding:.6em;font-size:15px}main p{padding-left:.5em;text-indent:0}dl{grid-template-columns:1fr}dt{margin-top:.3em}}
@media print{body{max-width:none;padding:0;font-size:10pt}main p:nth-of-type(even){background:none}h2{break-after:avoid}main p{break-inside:avoid}*{-webkit-print-color-adjust:exact;print-color-adjust:exact}}
)";

void AjouterNombre(std::string& s, int n) {
    s += std::to_string(n);
}

// Une règle par teinte : « .n0{color:#…} », « b.c0{background:#…} »…
template <std::size_t N>
void AjouterTeintes(std::string& s, std::string_view classe, std::string_view propriete,
                    const std::array<std::string_view, N>& couleurs) {
    for (std::size_t i = 0; i < N; ++i) {
        s += classe;
        AjouterNombre(s, static_cast<int>(i));
        s += '{';
        s += propriete;
        s += ':';
        s += couleurs[i];
        s += '}';
    }
    s += '\n';
}

void AjouterCouleurs(std::string& s) {
    AjouterTeintes(s, ".n", "color", CouleursNoms);
    AjouterTeintes(s, "b.c", "background", CouleursChannels);
}

void AjouterDateLongue(std::string& s, Date jour) {
    TraduireHtml(s, DateLongue(jour));
}

// Les balises ouvrantes des badges et des noms, une par teinte, faites une fois.
template <std::size_t N> struct Balises {
    std::array<std::string, N> ouvrantes;
    Balises(std::string_view debut) {
        for (std::size_t i = 0; i < N; ++i)
            ouvrantes[i] = std::string(debut) + std::to_string(i) + ">";
    }
};

std::string_view BaliseBadge(std::string_view tag) {
    static const Balises<TeintesChannels> balises("<b class=c");
    return balises.ouvrantes[static_cast<std::size_t>(TeinteChannel(tag))];
}

std::string_view BaliseNom(std::string_view nom) {
    static const Balises<TeintesNoms> balises("<u class=n");
    return balises.ouvrantes[static_cast<std::size_t>(TeinteNom(nom))];
}

void AjouterTitreJour(TamponSortie& sortie, Date jour) {
    sortie.Ajouter("<h2>");
    TraduireHtml(sortie, DateLongue(jour));
    sortie.Ajouter("</h2>\n");
}

template <class Sortie> void RendreHtml(Sortie& s, const Entree& e) {
    const std::string_view r = e.reecrite;
    const std::string_view genre = NomsGenre(e.genre).classe; // et « s » sans l'heure
    const bool sansHeure = e.finEnTete == 0;
    if (genre.empty()) {
        s.Balise(sansHeure ? "<p class=s>" : "<p>");
    } else {
        s.Balise(sansHeure ? "<p class=\"" : "<p class=");
        s.Balise(genre);
        s.Balise(sansHeure ? " s\">" : ">");
    }
    if (!sansHeure) {
        s.Balise("<i>");
        s.Html(r.substr(0, e.finEnTete));
        s.Balise("</i>");
    }
    s.Html(r.substr(e.finEnTete, e.debutBadge - e.finEnTete));
    if (e.finBadge > e.debutBadge) {
        const std::string_view tag = r.substr(e.debutBadge, e.finBadge - e.debutBadge);
        s.Balise(BaliseBadge(tag));
        s.Html(tag);
        s.Balise("</b>");
    }
    s.Html(r.substr(e.finBadge, e.debutNom - e.finBadge));
    if (e.finNom > e.debutNom) {
        const std::string_view nom = r.substr(e.debutNom, e.finNom - e.debutNom);
        s.Balise(e.genre == GenreEntree::Dit ? std::string_view("<u>") : BaliseNom(nom));
        s.Html(nom);
        s.Balise("</u>");
    }
    s.Html(r.substr(e.finNom));
    s.Balise("</p>\n");
}

template <class Sortie> void RendreJson(Sortie& s, const Entree& e) {
    if (e.date) {
        // AAAA-MM-JJ, sans passer par snprintf (une fois par ligne).
        char date[] = "{\"date\":\"0000-00-00\"";
        const auto chiffres = [&](std::size_t position, int valeur, int n) {
            for (int k = n - 1; k >= 0; --k, valeur /= 10)
                date[position + static_cast<std::size_t>(k)] = static_cast<char>('0' + valeur % 10);
        };
        chiffres(9, e.date->annee, 4);
        chiffres(14, e.date->mois, 2);
        chiffres(17, e.date->jour, 2);
        s.Balise(std::string_view(date, sizeof date - 1));
    } else {
        s.Balise("{\"date\":null");
    }
    s.Balise(",\"heure\":\"");
    s.Json(e.heure);
    s.Balise("\",\"genre\":\"");
    s.Balise(NomsGenre(e.genre).json);
    s.Balise("\",\"channel\":\"");
    s.Json(e.channel);
    if (e.crochetAjoute)
        s.Balise("]");
    s.Balise("\",\"nom\":\"");
    s.Json(e.nom);
    s.Balise("\",\"texte\":\"");
    s.TexteEtLigne(e.reecrite, e.debutTexte, "\",\"ligne\":\"");
    s.Balise("\"}\n");
}

} // namespace

char32_t CaracterePublie(unsigned char octet) {
    const char32_t c = CaractereCp1252(octet);
    // Seuls les octets sans caractère donnent un caractère de contrôle C1.
    return c >= 0x80 && c <= 0x9F ? char32_t{0xFFFD} : c;
}

std::string DebutPage(const EnTetePage& entete) {
    std::string s = "<!DOCTYPE html>\n<html lang=fr>\n<head>\n<meta charset=utf-8>\n"
                    "<meta name=viewport content=\"width=device-width, initial-scale=1\">\n"
                    "<meta name=generator content=\"";
    TraduireHtml(s, TitreApplication);
    s += "\">\n<title>";
    TraduireHtml(s, TitreApplication);
    if (entete.debut && entete.fin) {
        s += " — ";
        s += DateCourte(*entete.debut);
        if (*entete.fin != *entete.debut) {
            s += " au ";
            s += DateCourte(*entete.fin);
        }
    }
    s += "</title>\n<style>\n";
    s += Styles;
    AjouterCouleurs(s);
    s += "</style>\n</head>\n<body>\n<header>\n<h1>";
    TraduireHtml(s, TitreApplication);
    s += "</h1>\n<dl>\n<dt>Extrait le</dt><dd>";
    AjouterDateLongue(s, entete.extraction);
    s += "</dd>\n<dt>Période</dt><dd>";
    if (entete.debut && entete.fin) {
        s += "du ";
        AjouterDateLongue(s, *entete.debut);
        s += " au ";
        AjouterDateLongue(s, *entete.fin);
    } else {
        s += "inconnue";
    }
    s += "</dd>\n<dt>Channels</dt><dd>";
    const Selection* sel = entete.selection;
    bool premier = true;
    if (sel)
        for (std::size_t i = 0; i < sel->NombreChannels(); ++i) {
            const std::string_view channel = sel->Channel(i);
            s += premier ? "" : " ";
            premier = false;
            s += channel == TexteZoneProximite ? std::string_view("<b class=z>")
                                               : BaliseBadge(channel);
            TraduireHtml(s, channel);
            s += "</b>";
        }
    if (premier)
        s += "aucun";
    s += "</dd>\n<dt>Personnes</dt><dd>";
    premier = true;
    if (sel)
        for (std::size_t i = 0; i < sel->NombreNoms(); ++i) {
            const std::string_view nom = sel->Nom(i);
            s += premier ? "" : ", ";
            premier = false;
            s += BaliseNom(nom);
            TraduireHtml(s, RognerEspaces(nom));
            s += "</u>";
        }
    if (premier)
        s += "personne";
    s += "</dd>\n</dl>\n</header>\n<main>\n";
    return s;
}

std::string FinPage(std::uint64_t entrees) {
    std::string s = "</main>\n<footer>";
    s += std::to_string(entrees);
    s += entrees > 1 ? " lignes" : " ligne";
    s += " · ";
    TraduireHtml(s, TitreApplication);
    s += " · Pour tout renseignement : ";
    TraduireHtml(s, AdresseContact);
    s += "</footer>\n</body>\n</html>\n";
    return s;
}

// --- pendant la passe ---

void TamponSortie::Agrandir(std::size_t n) {
    const std::size_t capacite = std::max({capacite_ * 2, taille_ + n, std::size_t{4096}});
    std::unique_ptr<char[]> octets(new char[capacite]); // sans mise à zéro : tout sera écrit
    if (taille_ != 0)
        std::memcpy(octets.get(), octets_.get(), taille_);
    octets_ = std::move(octets);
    capacite_ = capacite;
}

void TamponSortie::Vider(std::size_t garde) {
    if (capacite_ > garde) {
        octets_.reset();
        capacite_ = 0;
    }
    taille_ = 0;
}

Publication::Publication(FormatsSortie formats, std::size_t lotsEnCirculation)
    : formats_(formats), lots_(std::max<std::size_t>(lotsEnCirculation, 1)) {}

Publication::MiseEnForme& Publication::Pour(const Lot& lot) {
    return lots_[static_cast<std::size_t>(lot.numero % lots_.size())];
}

Publication::MiseEnForme& Publication::Verifier(const Lot& lot) {
    MiseEnForme& m = Pour(lot);
    if (m.numero != lot.numero)
        throw std::logic_error("lot publié hors de son ordre");
    return m;
}

void Publication::Preparer(const Lot& lot) {
    MiseEnForme& m = Pour(lot);
    m.numero = lot.numero;
    // Un lot qui a porté une ligne démesurée rend sa mémoire.
    constexpr std::size_t Garde = std::size_t{8} << 20;
    m.html.Vider(Garde);
    m.json.Vider(Garde);
    m.entrees = 0;
    m.premierJour.reset();
    m.avantPremier = 0;
    m.dernierJour.reset();
    m.sansDate = lot.modes.ModeUnlessDate;
    m.demesuree.reset();
}

void Publication::Ajouter(const Lot& lot, std::string_view ligne, const Extraction& analyse,
                          std::string_view reecrite, bool demesuree) {
    MiseEnForme& m = Pour(lot);
    Entree e = DecouperEntree(ligne, analyse, reecrite, lot.modes);
    ++m.entrees;
    // Les titres des jours : celui de la première ligne datée du lot est décidé à l'écriture,
    // les suivants ici, à chaque changement de jour.
    const std::optional<Date> jour = lot.modes.ModeUnlessDate ? std::nullopt : e.date;
    if (jour) {
        if (!m.premierJour) {
            m.premierJour = jour;
            m.avantPremier = m.html.Taille();
        } else if (formats_.html && *jour != *m.dernierJour) {
            AjouterTitreJour(m.html, *jour);
        }
        m.dernierJour = jour;
    }
    if (demesuree) {
        m.demesuree = e;
        return;
    }
    if (formats_.html) {
        VersZone html(m.html, VersZone::Place(reecrite.size()));
        RendreHtml(html, e);
    }
    if (formats_.json) {
        VersZone json(m.json, VersZone::Place(e.heure.size() + e.channel.size() + e.nom.size() +
                                              e.Texte().size() + reecrite.size()));
        RendreJson(json, e);
    }
}

void Publication::TitreSiNouveauJour(EcrivainTexte& fichier, const std::optional<Date>& jour) {
    if (!jour || jour == jourCourant_)
        return;
    TamponSortie titre;
    AjouterTitreJour(titre, *jour);
    fichier.Ecrire(titre.Vue());
}

void Publication::EcrireHtml(const Lot& lot, EcrivainTexte& fichier) {
    MiseEnForme& m = Verifier(lot);
    const std::string_view html = m.html.Vue();
    fichier.Ecrire(html.substr(0, m.avantPremier));
    TitreSiNouveauJour(fichier, m.premierJour);
    if (m.demesuree) {
        VersFichier s(fichier);
        RendreHtml(s, *m.demesuree);
    } else {
        fichier.Ecrire(html.substr(m.avantPremier));
    }
    if (m.dernierJour)
        jourCourant_ = m.dernierJour;
    else if (m.sansDate && m.entrees != 0)
        jourCourant_.reset(); // au retour des dates, le jour est redit
    entreesHtml_ += m.entrees;
}

void Publication::EcrireJson(const Lot& lot, EcrivainTexte& fichier) {
    MiseEnForme& m = Verifier(lot);
    if (m.demesuree) {
        VersFichier s(fichier);
        RendreJson(s, *m.demesuree);
    } else {
        fichier.Ecrire(m.json.Vue());
    }
}

} // namespace vek
