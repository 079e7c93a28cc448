// La page web (LogFinal.html) : un seul fichier en UTF-8, sans ressource extérieure ni script ;
// un titre par jour, l'heure dans sa colonne, le channel en badge de couleur, « Nom : texte »,
// chaque nom dans sa couleur.

#include "Formats.h"

#include "Ecriture.h"
#include "ModuleVEK.h"
#include "Puits.h"
#include "Selection.h"
#include "Traduction.h"

#include <array>

namespace vek {

namespace {

const TableTraduction& TableDeLaPage = TablePage();

void TraduireHtml(std::string& sortie, std::string_view texte) {
    TamponSortie t;
    char* const debut = t.Place(texte.size() * ExpansionMax + 16);
    t.Avancer(
        static_cast<std::size_t>(TraduireVers<Vers::Page>(debut, texte, TableDeLaPage) - debut));
    sortie.append(t.Vue());
}

// Les styles de la page. Les messages gardent leurs espaces (pre-wrap). Chaque entrée se lit
// « Nom : texte », l'heure dans sa colonne ; le titre du jour dit la date.
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
main p>i:first-child{display:inline-block;width:8ch;margin-right:1.1em;overflow:hidden;vertical-align:top;white-space:pre;text-indent:0;color:#6e7781;font:.85em/1.75 ui-monospace,"DejaVu Sans Mono",Menlo,Consolas,monospace}
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
void AjouterTeintes(std::string& s, std::string_view classe, std::string_view propriete, int n,
                    std::string_view (*couleur)(int)) {
    for (int i = 0; i < n; ++i) {
        s += classe;
        AjouterNombre(s, i);
        s += '{';
        s += propriete;
        s += ':';
        s += couleur(i);
        s += '}';
    }
    s += '\n';
}

void AjouterCouleurs(std::string& s) {
    AjouterTeintes(s, ".n", "color", TeintesNoms, CouleurTeinteNom);
    AjouterTeintes(s, "b.c", "background", TeintesChannels, CouleurTeinteChannel);
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

template <class Sortie> void Html(Sortie& s, std::string_view texte) {
    s.template Traduit<Vers::Page>(texte, TableDeLaPage);
}

template <class Sortie> void RendreHtml(Sortie& s, const Enregistrement& e, const Modes& modes) {
    const std::string_view genre = NomsGenre(e.genre).classe; // et « s » sans l'heure
    const bool sansHeure = modes.ModeUnlessDate || e.heure.empty();
    if (genre.empty()) {
        s.Balise(sansHeure ? "<p class=s>" : "<p>");
    } else {
        s.Balise(sansHeure ? "<p class=\"" : "<p class=");
        s.Balise(genre);
        s.Balise(sansHeure ? " s\">" : ">");
    }
    if (!sansHeure) {
        s.Balise("<i>");
        s.Balise(e.heure); // des chiffres et des deux-points
        s.Balise("</i>");
    }
    if (e.genre == GenreEntree::Channel && !modes.ModeUnlessChannel) {
        s.Balise(BaliseBadge(e.channel));
        Html(s, e.channel);
        s.Balise("</b> ");
    }
    if (e.nomMontre) {
        s.Balise(e.genre == GenreEntree::Dit ? std::string_view("<u>") : BaliseNom(e.nom));
        Html(s, e.nom);
        s.Balise("</u> : ");
    }
    Html(s, e.texte);
    s.Balise("</p>\n");
}

class PuitsPage : public PuitsMisEnForme {
public:
    explicit PuitsPage(const ContexteSortie& c) : contexte_(c) {}
    void Commencer(EcrivainTexte& fichier) override {
        EnTetePage entete{contexte_.jour, std::nullopt, std::nullopt, contexte_.selection};
        if (contexte_.periode) {
            entete.debut = contexte_.periode->first;
            entete.fin = contexte_.periode->second;
        }
        fichier.Ecrire(DebutPage(entete));
    }
    bool Finir(EcrivainTexte& fichier, std::string&) override {
        fichier.Ecrire(FinPage(Entrees()));
        return true;
    }

protected:
    void Rendre(VersZone& s, const Enregistrement& e, const Modes& m) override {
        RendreHtml(s, e, m);
    }
    void Rendre(VersFichier& s, const Enregistrement& e, const Modes& m) override {
        RendreHtml(s, e, m);
    }
    bool AvecTitres() const override { return true; }
    void Titre(TamponSortie& sortie, Date jour) override {
        std::string titre = "<h2>";
        TraduireHtml(titre, DateLongue(jour));
        titre += "</h2>\n";
        sortie.Ajouter(titre);
    }

private:
    ContexteSortie contexte_;
};

} // namespace

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

std::unique_ptr<Puits> FabriquerPage(const ContexteSortie& contexte) {
    return std::make_unique<PuitsPage>(contexte);
}

} // namespace vek
