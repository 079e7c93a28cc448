// Le fil d'écriture de la page web : ancres, jours, séries, pages et dossier découpé.

#include "DossierPages.h"

#include "Chemins.h"
#include "Dossiers.h"
#include "Selection.h"

namespace vek {

namespace {

std::string TitreMois(Date d) {
    // « lundi 24 décembre 2001 » → « décembre 2001 »
    std::string s;
    TraduireHtml(s, DateLongue(d));
    const std::size_t espace = s.find(' ', s.find(' ') + 1);
    return espace == std::string::npos ? s : s.substr(espace + 1);
}

} // namespace

PagesEnCours::PagesEnCours(const ContexteSortie& contexte)
    : contexte_(contexte), decoupee_(contexte.decoupage != Decoupage::Aucun) {
    bilan_ = BilanVide();
    total_ = BilanVide();
}

PagesEnCours::~PagesEnCours() {
    if (page_.EstOuvert())
        page_.Fermer();
    if (!dossier_.empty() && !confie_)
        SupprimerArborescence(dossier_);
}

BilanPage PagesEnCours::BilanVide() const {
    BilanPage b;
    const Selection* sel = contexte_.selection;
    b.parChannel.assign(sel ? sel->NombreChannels() : 0, 0);
    b.parNom.assign(sel ? sel->NombreNoms() + 1 : 0, 0);
    return b;
}

void PagesEnCours::Commencer(EcrivainTexte& fichier) {
    unique_ = &fichier;
    if (decoupee_) {
        std::string raison;
        dossier_ = CreerDossierTemporaire(contexte_.chemin, raison);
        if (dossier_.empty())
            Echec(raison);
        return;
    }
    EnTetePage entete{contexte_.jour, std::nullopt, std::nullopt, contexte_.selection, {}};
    if (contexte_.periode) {
        entete.debut = contexte_.periode->first;
        entete.fin = contexte_.periode->second;
    }
    fichier.Ecrire(DebutPage(entete));
}

void PagesEnCours::FermerBlocs() {
    if (serieOuverte_)
        Sortir("</div>\n");
    if (sectionOuverte_)
        Sortir("</section>\n");
    serieOuverte_ = sectionOuverte_ = false;
    jour_.reset();
}

void PagesEnCours::OuvrirPage(const std::string& cle, const std::optional<Date>& date) {
    // Le nom : la clé, puis « -2 », « -3 »… pour la suite du même jour ou un jour revenu.
    std::string fichier;
    for (int& n = suites_[cle];;) {
        ++n;
        fichier = cle + (n > 1 ? "-" + std::to_string(n) : std::string()) + ".html";
        if (fichiersPris_.insert(fichier).second)
            break;
    }
    if (pageOuverte_)
        FermerPage(fichier);
    EnTetePage entete{contexte_.jour, date, date, contexte_.selection, {}};
    if (!date)
        entete.sousTitre = "sans date";
    else if (contexte_.decoupage == Decoupage::Jour)
        TraduireHtml(entete.sousTitre, DateLongue(*date));
    else {
        entete.sousTitre = TitreMois(*date);
        entete.debut = Date{date->annee, date->mois, 1};
        entete.fin = Date{date->annee, date->mois, JoursDansMois(date->annee, date->mois)};
    }
    if (const int n = suites_[cle]; n > 1)
        entete.sousTitre += " (" + std::to_string(n) + ")";
    cle_ = cle;
    fichier_ = fichier;
    titre_ = entete.sousTitre;
    pageOuverte_ = true;
    if (!dossier_.empty() && !page_.Creer(JoindreChemin(dossier_, fichier)))
        Echec(page_.Raison());
    if (page_.EstOuvert()) {
        enTeteEnAttente_ = std::move(entete);
        attente_.clear();
    }
}

void PagesEnCours::Attendre(std::string_view octets) {
    constexpr std::size_t TailleAttenteMax = std::size_t{4} << 20;
    attente_.append(octets);
    if (attente_.size() > TailleAttenteMax)
        LacherAttente(nullptr);
}

void PagesEnCours::LacherAttente(const BilanPage* presentes) {
    if (!enTeteEnAttente_)
        return;
    enTeteEnAttente_->presentes = presentes;
    page_.Ecrire(DebutPage(*enTeteEnAttente_));
    page_.Ecrire(attente_);
    enTeteEnAttente_.reset();
    attente_.clear();
}

void PagesEnCours::FermerPage(const std::string& suivante) {
    FermerBlocs();
    LacherAttente(&bilan_);
    const Voisins voisins{precedente_, suivante};
    Sortir(FinPage(bilan_, contexte_.selection, &voisins, contexte_.Teintes()));
    // Une page n'est pas attendue sur le disque une à une (des milliers d'attentes) : tout le
    // dossier l'est d'un coup, avant l'échange (voir la validation).
    if (page_.EstOuvert() && !page_.Fermer())
        Echec(page_.Raison());
    pages_.push_back({fichier_, titre_, bilan_.entrees});
    total_.Fusionner(bilan_);
    bilan_ = BilanVide();
    compteHeure_ = nullptr;
    ancresDuJour_.clear();
    precedente_ = fichier_;
    pageOuverte_ = false;
}

void PagesEnCours::OuvrirJour(Date jour) {
    FermerBlocs();
    std::string ancre = "j-" + DateIso(jour);
    if (const int n = ++ancresDuJour_[jour]; n > 1)
        ancre += "-" + std::to_string(n);
    std::string s = "<section class=j id=" + ancre + ">\n<h2>";
    TraduireHtml(s, DateLongue(jour));
    s += "</h2>\n";
    Sortir(s);
    bilan_.jours.push_back({jour, std::move(ancre), 0});
    sectionOuverte_ = true;
    jour_ = jour;
}

void PagesEnCours::Entree(const InfosEntree& e) {
    if (decoupee_) {
        const std::string cle = !e.date                                  ? std::string("sans-date")
                                : contexte_.decoupage == Decoupage::Jour ? DateIso(*e.date)
                                                                         : DateIso(*e.date, false);
        // Une entrée sans date reste dans la page en cours.
        if (!pageOuverte_ || (e.date && cle != cle_) || bilan_.entrees >= EntreesParPage)
            OuvrirPage(e.date || !pageOuverte_ ? cle : cle_, e.date);
    }
    if (e.jours && e.date && e.date != jour_)
        OuvrirJour(*e.date);
    else if (!e.jours)
        jour_.reset(); // au retour des dates, le jour est redit
    if (!serieOuverte_ || dansLaSerie_ >= EntreesParSerie) {
        if (serieOuverte_)
            Sortir("</div>\n");
        Sortir("<div class=r>\n");
        serieOuverte_ = true;
        dansLaSerie_ = 0;
    }
    ++dansLaSerie_;
    ++entrees_;
    BilanPage& b = bilan_;
    ++b.entrees;
    if (e.date) {
        // Une heure impossible (« 25:61:99 ») compte parmi les entrées sans heure.
        int heure = e.heure.empty() ? -1 : (e.heure[0] - '0') * 10 + (e.heure[1] - '0');
        if (heure > 23)
            heure = -1;
        // Les entrées d'une même heure se suivent : sa case est gardée de l'une à l'autre.
        const std::pair<Date, int> cle{*e.date, heure};
        if (!compteHeure_ || cle != cleHeure_) {
            compteHeure_ = &b.parHeure[cle];
            cleHeure_ = cle;
        }
        ++*compteHeure_;
        b.premier = b.premier ? std::min(*b.premier, *e.date) : *e.date;
        b.dernier = b.dernier ? std::max(*b.dernier, *e.date) : *e.date;
    } else {
        ++b.sansDate;
    }
    if (sectionOuverte_ && e.jours && e.date)
        ++b.jours.back().entrees;
    if (e.channel >= 0)
        ++b.parChannel[static_cast<std::size_t>(e.channel)];
    if (e.nom >= 0)
        ++b.parNom[static_cast<std::size_t>(e.nom)];
    if (e.genre >= 0)
        ++b.parGenre[static_cast<std::size_t>(e.genre)];
}

void PagesEnCours::Ancre(const InfosEntree& e) {
    // L'ancre dit le moment (« e-20011224-210405 ») ; la même seconde reprise aussitôt reçoit
    // « -2 », « -3 »… Un moment qui revient après un plus tardif, ou une entrée sans moment
    // connu, prend son rang dans l'extrait : aucune ancre ne se répète. Quand les modes cachent
    // dates et heures, l'ancre ne les dit pas non plus. Les textes sont gardés d'une entrée à
    // l'autre : aucune allocation par entrée.
    std::string& id = id_;
    id.assign(e.jours && e.date ? "e-" : "e");
    if (e.jours && e.date) {
        std::string& base = base_;
        base.assign(DateIso(*e.date));
        base.erase(7, 1).erase(4, 1);
        if (!e.heure.empty())
            base.append("-")
                .append(e.heure.substr(0, 2))
                .append(e.heure.substr(3, 2))
                .append(e.heure.substr(6, 2));
        id.append(base);
        if (base > plusHaute_) {
            plusHaute_ = base;
            suite_ = 1;
        } else if (base == derniere_ && base == plusHaute_) {
            id.append("-").append(std::to_string(++suite_));
        } else {
            id.append("-r").append(std::to_string(entrees_));
        }
        derniere_.swap(base);
    } else {
        id.append(std::to_string(entrees_));
    }
    std::string& s = ancre_;
    s.assign(e.montrerHeure ? "<a class=h id=" : "<a class=l id=");
    s.append(id).append(" href=\"#").append(id).append("\">");
    // Sans heure montrée, le lien n'a pas de texte à lui (le « # » vient des styles) : le texte
    // de l'entrée reste le même.
    s.append(e.montrerHeure ? e.heure : std::string_view()).append("</a>");
    Sortir(s);
}

bool PagesEnCours::Finir(std::string& raison) {
    if (!decoupee_) {
        FermerBlocs();
        Sortir(FinPage(bilan_, contexte_.selection, nullptr, contexte_.Teintes()));
    } else {
        if (pageOuverte_)
            FermerPage({});
        EnTetePage entete{contexte_.jour, std::nullopt, std::nullopt, contexte_.selection,
                          "sommaire"};
        entete.teintes = &contexte_.Teintes();
        if (contexte_.periode) {
            entete.debut = contexte_.periode->first;
            entete.fin = contexte_.periode->second;
        }
        if (!dossier_.empty()) {
            EcrivainTexte sommaire;
            if (!sommaire.Creer(JoindreChemin(dossier_, std::string(NomSommaire))))
                Echec(sommaire.Raison());
            sommaire.Ecrire(PageSommaire(entete, pages_, total_));
            if (sommaire.EstOuvert() && !sommaire.Fermer())
                Echec(sommaire.Raison());
        }
    }
    raison = raison_;
    return raison_.empty();
}

std::optional<SortieAValider> PagesEnCours::Confier() {
    if (!decoupee_ || !raison_.empty() || dossier_.empty())
        return std::nullopt;
    confie_ = true;
    return SortieAValider{nullptr, dossier_, contexte_.chemin};
}

} // namespace vek
