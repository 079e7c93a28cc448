// Les morceaux de la page web : styles, en-tête, bilan de fin (sommaire des jours, filtres,
// personnes, graphique, liens entre les pages) et sommaire du dossier découpé.

#include "PageWeb.h"

#include "Identite.h"
#include "Ligne.h"
#include "Publication.h"
#include "Selection.h"
#include "StylesPage.h"
#include "Traduction.h"

#include <algorithm>
#include <numeric>

namespace vek {

namespace {

// Une règle par teinte : « .n0{color:#…} », « b.c0{background:#…} »…
void AjouterTeintes(std::string& s, std::string_view classe, std::string_view propriete, int n,
                    std::string_view (*couleur)(int)) {
    for (int i = 0; i < n; ++i)
        s.append(classe)
            .append(std::to_string(i))
            .append("{")
            .append(propriete)
            .append(":")
            .append(couleur(i))
            .append("}");
    s += '\n';
}

std::string_view BaliseBadge(std::string_view tag) {
    static const std::string z = "<b class=z>";
    static const std::array<std::string, TeintesChannels> balises = [] {
        std::array<std::string, TeintesChannels> b;
        for (int i = 0; i < TeintesChannels; ++i)
            b[static_cast<std::size_t>(i)] = "<b class=c" + std::to_string(i) + ">";
        return b;
    }();
    return tag == TexteZoneProximite ? std::string_view(z)
                                     : balises[static_cast<std::size_t>(TeinteChannel(tag))];
}

void AjouterNom(std::string& s, std::string_view nom, bool vous, const TeintesDesNoms& teintes) {
    s += vous ? std::string("<u>") : "<u class=n" + std::to_string(teintes.Teinte(nom)) + ">";
    TraduireHtml(s, nom);
    s += "</u>";
}

void AjouterDateLongue(std::string& s, Date jour) {
    TraduireHtml(s, DateLongue(jour));
}

void AjouterPeriode(std::string& s, const EnTetePage& e) {
    if (e.debut && e.fin) {
        s += "du ";
        AjouterDateLongue(s, *e.debut);
        s += " au ";
        AjouterDateLongue(s, *e.fin);
    } else {
        s += "inconnue";
    }
}

void AjouterChannels(std::string& s, const Selection* sel) {
    const std::size_t n = sel ? sel->NombreChannels() : 0;
    for (std::size_t i = 0; i < n; ++i) {
        s += i == 0 ? "" : " ";
        s += BaliseBadge(sel->Channel(i));
        TraduireHtml(s, sel->Channel(i));
        s += "</b>";
    }
    if (n == 0)
        s += "aucun";
}

// Les personnes gardées, repliées au-delà de quelques-unes.
void AjouterPersonnesGardees(std::string& s, const Selection* sel, const TeintesDesNoms& teintes) {
    const std::size_t n = sel ? sel->NombreNoms() : 0;
    if (n == 0) {
        s += "personne";
        return;
    }
    const bool replier = n > PersonnesEnVue;
    if (replier)
        s += "<details><summary>" + NombreFr(n) + " personnes</summary>";
    for (std::size_t i = 0; i < n; ++i) {
        s += i == 0 ? "" : ", ";
        AjouterNom(s, RognerEspaces(sel->Nom(i)), false, teintes);
    }
    if (replier)
        s += "</details>";
}

std::string Entrees(std::uint64_t n) {
    return NombreFr(n) + (n > 1 ? " entrées" : " entrée");
}

void AjouterVoisins(std::string& s, const Voisins& v) {
    s += "<nav class=voisins>";
    const auto lien = [&](const std::string& cible, std::string_view texte, std::string_view rel) {
        if (cible.empty()) {
            s.append("<span>").append(texte).append("</span>");
            return;
        }
        s.append("<a href=\"").append(cible).append("\"");
        if (!rel.empty())
            s.append(" rel=").append(rel);
        s.append(">").append(texte).append("</a>");
    };
    lien(v.precedent, "« précédent", "prev");
    lien(std::string(NomSommaire), "sommaire", "");
    lien(v.suivant, "suivant »", "next");
    s += "</nav>\n";
}

// Le sommaire des jours de la page, replié au-delà d'un mois de jours.
void AjouterJours(std::string& s, const BilanPage& b) {
    if (b.jours.empty())
        return;
    s += b.jours.size() > 31 ? "<nav class=jours><details><summary>"
                             : "<nav class=jours><details open><summary>";
    s += b.jours.size() > 1 ? NombreFr(b.jours.size()) + " jours" : std::string("1 jour");
    s += "</summary><ol>\n";
    for (const JourDePage& j : b.jours) {
        s += "<li><a href=\"#" + j.ancre + "\">";
        AjouterDateLongue(s, j.date);
        s += "</a> <span class=compte>" + NombreFr(j.entrees) + "</span></li>\n";
    }
    s += "</ol></details></nav>\n";
}

// L'étiquette d'une case (posée avant <main>) et la règle qui, case décochée, la marque ; la
// règle qui cache ses entrées est dans l'en-tête.
void AjouterCase(std::string& s, std::string& regles, const std::string& id,
                 const std::string& etiquette, std::uint64_t compte) {
    s.append("<label for=").append(id).append(">").append(etiquette);
    s.append(" <span class=compte>").append(NombreFr(compte)).append("</span></label>\n");
    regles +=
        "#" + id + ":not(:checked)~aside label[for=" + id + "]::before{content:\"\\2610\\00a0\"}\n";
}

// Les rangs des personnes présentes, les plus actives d'abord ; à compte égal, l'ordre de la
// sélection.
std::vector<std::size_t> RangsParActivite(const BilanPage& b) {
    std::vector<std::size_t> rangs;
    for (std::size_t i = 0; i < b.parNom.size(); ++i)
        if (b.parNom[i] != 0)
            rangs.push_back(i);
    std::stable_sort(rangs.begin(), rangs.end(),
                     [&](std::size_t x, std::size_t y) { return b.parNom[x] > b.parNom[y]; });
    return rangs;
}

void AjouterPersonnes(std::string& s, std::string& regles, const BilanPage& b, const Selection* sel,
                      const TeintesDesNoms& teintes) {
    const std::vector<std::size_t> rangs = RangsParActivite(b);
    if (rangs.empty())
        return;
    s += "<fieldset><legend>Personnes</legend>\n";
    for (std::size_t k = 0; k < rangs.size(); ++k) {
        const std::size_t i = rangs[k];
        if (k == PersonnesEnVue)
            s += "<details><summary>" + NombreFr(rangs.size() - k) + " autres</summary>\n";
        std::string etiquette;
        const bool vous = sel && i == sel->NombreNoms();
        AjouterNom(etiquette, NomDuRang(sel, i), vous, teintes);
        if (k < PersonnesFiltrables)
            AjouterCase(s, regles, "fq" + std::to_string(i), etiquette, b.parNom[i]);
        else
            s += "<span class=nf>" + etiquette + " <span class=compte>" + NombreFr(b.parNom[i]) +
                 "</span></span>\n";
    }
    if (rangs.size() > PersonnesEnVue)
        s += "</details>\n";
    s += "</fieldset>\n";
}

// Les étiquettes des filtres : une par channel, par genre et par personne présents dans la
// page ; les règles qui marquent celles des cases décochées suivent.
void AjouterFiltres(std::string& s, const BilanPage& b, const Selection* sel,
                    const TeintesDesNoms& teintes) {
    std::string regles;
    s += "<section class=filtres><h2>Filtres</h2>\n<fieldset><legend>Channels</legend>\n";
    for (std::size_t i = 0; i < b.parChannel.size(); ++i) {
        if (b.parChannel[i] == 0)
            continue;
        std::string etiquette(BaliseBadge(sel->Channel(i)));
        TraduireHtml(etiquette, sel->Channel(i));
        etiquette += "</b>";
        AjouterCase(s, regles, "fk" + std::to_string(i), etiquette, b.parChannel[i]);
    }
    static constexpr std::array<std::string_view, 3> Genres = {"Vous avez dit", "Murmures",
                                                               "Appels"};
    s += "</fieldset>\n";
    if (b.parGenre[0] + b.parGenre[1] + b.parGenre[2] != 0)
        s += "<fieldset><legend>Genres</legend>\n";
    for (std::size_t g = 0; g < Genres.size(); ++g) {
        if (b.parGenre[g] == 0)
            continue;
        AjouterCase(s, regles, "fg" + std::string(ClassesFiltrees[g]), std::string(Genres[g]),
                    b.parGenre[g]);
    }
    if (b.parGenre[0] + b.parGenre[1] + b.parGenre[2] != 0)
        s += "</fieldset>\n";
    AjouterPersonnes(s, regles, b, sel, teintes);
    s += "<style>\n" + regles + "</style>\n</section>\n";
}

// Les cases des filtres, toutes cochées : une par channel, par genre et par personne de la
// sélection (« Vous » compris), ou de la page si ses entrées sont connues, avant <main>. Chaque
// case de plus allonge le parcours de ses sœurs que fait le navigateur pour chaque règle. Les
// règles qui cachent les entrées d'une case décochée vont dans regles, pour l'en-tête : posées
// après les entrées, elles font recalculer le style de toute la page.
void AjouterCasesDesFiltres(std::string& s, std::string& regles, const Selection& sel,
                            const BilanPage* presentes) {
    const auto caseF = [&](const std::string& id, const std::vector<std::uint64_t>* comptes,
                           std::size_t i, const std::string& entrees) {
        if (presentes && (i >= comptes->size() || (*comptes)[i] == 0))
            return;
        s += "<input type=checkbox class=f id=" + id + " checked>";
        regles += "#" + id + ":not(:checked)~main " + entrees + "{display:none}\n";
    };
    const std::vector<std::uint64_t> genres =
        presentes
            ? std::vector<std::uint64_t>(presentes->parGenre.begin(), presentes->parGenre.end())
            : std::vector<std::uint64_t>();
    // Les personnes qui auront une case : les plus actives de la page ; sans ses entrées, toutes.
    std::vector<std::uint64_t> filtrables;
    if (presentes) {
        const std::vector<std::size_t> rangs = RangsParActivite(*presentes);
        filtrables.assign(presentes->parNom.size(), 0);
        for (std::size_t k = 0; k < rangs.size() && k < PersonnesFiltrables; ++k)
            filtrables[rangs[k]] = 1;
    }
    for (std::size_t i = 0; i < sel.NombreChannels(); ++i)
        caseF("fk" + std::to_string(i), presentes ? &presentes->parChannel : nullptr, i,
              ".k" + std::to_string(i));
    for (std::size_t g = 0; g < ClassesFiltrees.size(); ++g)
        caseF("fg" + std::string(ClassesFiltrees[g]), &genres, g,
              "p." + std::string(ClassesFiltrees[g]));
    for (std::size_t i = 0; i <= sel.NombreNoms(); ++i)
        caseF("fq" + std::to_string(i), &filtrables, i, ".q" + std::to_string(i));
    s += "\n";
}

} // namespace

void TraduireHtml(std::string& sortie, std::string_view texte) {
    TamponSortie t;
    char* const debut = t.Place(texte.size() * ExpansionMax + 16);
    t.Avancer(
        static_cast<std::size_t>(TraduireVers<Vers::Page>(debut, texte, TablePage()) - debut));
    sortie.append(t.Vue());
}

std::string DateIso(Date d, bool avecJour) {
    // Écrite chiffre à chiffre : elle sert à chaque entrée d'une page (ancres, découpe).
    const auto chiffre = [](int v) { return static_cast<char>('0' + v % 10); };
    const int a = d.annee < 0 ? 0 : d.annee % 10000;
    std::string texte{chiffre(a / 1000),    chiffre(a / 100), chiffre(a / 10), chiffre(a), '-',
                      chiffre(d.mois / 10), chiffre(d.mois)};
    if (avecJour)
        texte.append({'-', chiffre(d.jour / 10), chiffre(d.jour)});
    return texte;
}

std::string_view NomDuRang(const Selection* sel, std::size_t rang) {
    if (!sel || rang >= sel->NombreNoms())
        return "Vous";
    return RognerEspaces(sel->Nom(rang));
}

void BilanPage::Fusionner(const BilanPage& autre) {
    jours.insert(jours.end(), autre.jours.begin(), autre.jours.end());
    for (const auto& [cle, n] : autre.parHeure)
        parHeure[cle] += n;
    parChannel.resize(std::max(parChannel.size(), autre.parChannel.size()));
    for (std::size_t i = 0; i < autre.parChannel.size(); ++i)
        parChannel[i] += autre.parChannel[i];
    parNom.resize(std::max(parNom.size(), autre.parNom.size()));
    for (std::size_t i = 0; i < autre.parNom.size(); ++i)
        parNom[i] += autre.parNom[i];
    for (std::size_t g = 0; g < parGenre.size(); ++g)
        parGenre[g] += autre.parGenre[g];
    entrees += autre.entrees;
    sansDate += autre.sansDate;
    if (autre.premier && (!premier || *autre.premier < *premier))
        premier = autre.premier;
    if (autre.dernier && (!dernier || *autre.dernier > *dernier))
        dernier = autre.dernier;
}

std::string DebutPage(const EnTetePage& e) {
    std::string s = "<!DOCTYPE html>\n<html lang=fr>\n<head>\n<meta charset=utf-8>\n"
                    "<meta name=viewport content=\"width=device-width, initial-scale=1\">\n"
                    "<meta name=generator content=\"";
    TraduireHtml(s, TitreApplication);
    s += "\">\n<title>";
    TraduireHtml(s, TitreApplication);
    if (!e.sousTitre.empty()) {
        s += " — " + e.sousTitre;
    } else if (e.debut && e.fin) {
        s += " — " + DateCourte(*e.debut);
        if (*e.fin != *e.debut)
            s += " au " + DateCourte(*e.fin);
    }
    s += "</title>\n<style>\n";
    s += StylesPage;
    AjouterTeintes(s, ".n", "color", TeintesNoms, CouleurTeinteNom);
    AjouterTeintes(s, "b.c", "background", TeintesChannels, CouleurTeinteChannel);
    std::string cases;
    if (e.filtres && e.selection)
        AjouterCasesDesFiltres(cases, s, *e.selection, e.presentes);
    s += "</style>\n</head>\n<body>\n<header>\n<h1>";
    TraduireHtml(s, TitreApplication);
    if (!e.sousTitre.empty())
        s += " — " + e.sousTitre;
    s += "</h1>\n<dl>\n<dt>Extrait le</dt><dd>";
    AjouterDateLongue(s, e.extraction);
    s += "</dd>\n<dt>Période</dt><dd>";
    AjouterPeriode(s, e);
    s += "</dd>\n<dt>Channels</dt><dd>";
    AjouterChannels(s, e.selection);
    s += "</dd>\n</dl>\n</header>\n";
    s += cases;
    s += "<main>\n";
    return s;
}

std::string FinPage(const BilanPage& b, const Selection* sel, const Voisins* voisins,
                    const TeintesDesNoms& teintes) {
    std::string s = "</main>\n<aside>\n";
    if (voisins)
        AjouterVoisins(s, *voisins);
    AjouterJours(s, b);
    if (sel)
        AjouterFiltres(s, b, sel, teintes);
    AjouterGraphique(s, b);
    s += "</aside>\n<footer>";
    if (voisins)
        AjouterVoisins(s, *voisins);
    s += Entrees(b.entrees) + " · ";
    TraduireHtml(s, TitreApplication);
    s += " · Pour tout renseignement : ";
    TraduireHtml(s, AdresseContact);
    s += "</footer>\n</body>\n</html>\n";
    return s;
}

std::string PageSommaire(const EnTetePage& e, const std::vector<PageDuDossier>& pages,
                         const BilanPage& total) {
    EnTetePage sansFiltres = e;
    sansFiltres.filtres = false;
    std::string s = DebutPage(sansFiltres);
    // Les personnes gardées viennent après l'en-tête, repliées s'il y en a beaucoup.
    s += "<h2>Personnes</h2>\n<p>";
    static const TeintesDesNoms parLeursOctets;
    AjouterPersonnesGardees(s, e.selection, e.teintes ? *e.teintes : parLeursOctets);
    s += "</p>\n<h2>" + NombreFr(pages.size()) + (pages.size() > 1 ? " pages" : " page") +
         "</h2>\n<table>\n";
    for (const PageDuDossier& p : pages)
        s += "<tr><td><a href=\"" + p.fichier + "\">" + p.titre + "</a></td><td class=n>" +
             Entrees(p.entrees) + "</td></tr>\n";
    s += "</table>\n</main>\n<aside>\n";
    AjouterGraphique(s, total);
    s += "</aside>\n<footer>" + Entrees(total.entrees) + " · ";
    TraduireHtml(s, TitreApplication);
    s += "</footer>\n</body>\n</html>\n";
    return s;
}

} // namespace vek
