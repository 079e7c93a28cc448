// LogFinal.jsonl : un objet JSON par ligne retenue, en UTF-8, qui se lit seul.

#include "Formats.h"

#include "Ligne.h"
#include "Puits.h"
#include "Traduction.h"

namespace vek {

namespace {

const TableTraduction& TableDuJson = TableJson();

template <class Sortie> void Json(Sortie& s, std::string_view texte) {
    s.template Traduit<Vers::Json>(texte, TableDuJson);
}

// Une chaîne, ou null quand le texte est vide.
template <class Sortie> void ChaineOuNull(Sortie& s, std::string_view cle, std::string_view texte) {
    s.Balise(cle);
    if (texte.empty()) {
        s.Balise("null");
        return;
    }
    s.Balise("\"");
    Json(s, texte);
    s.Balise("\"");
}

template <class Sortie> void RendreJson(Sortie& s, const Enregistrement& e) {
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
    ChaineOuNull(s, ",\"heure\":", e.heure);
    s.Balise(",\"genre\":\"");
    s.Balise(NomsGenre(e.genre).json);
    s.Balise("\"");
    ChaineOuNull(s, ",\"channel\":", e.channel);
    s.Balise(",\"nom\":\"");
    Json(s, e.nom);
    s.Balise("\",\"texte\":\"");
    if (!e.texte.empty() && e.ligne.ends_with(e.texte)) {
        // Le plus souvent, la ligne finit par le texte : il n'est traduit qu'une fois.
        s.template TexteEtLigne<Vers::Json>(e.texte, "\",\"ligne\":\"",
                                            e.ligne.substr(0, e.ligne.size() - e.texte.size()),
                                            TableDuJson);
    } else {
        Json(s, e.texte);
        s.Balise("\",\"ligne\":\"");
        Json(s, e.ligne);
    }
    if (!e.source.empty()) {
        s.Balise("\",\"source\":\"");
        Json(s, e.source);
    }
    s.Balise(e.hrpRetire ? std::string_view("\",\"hrp_retire\":true}\n") : "\"}\n");
}

class PuitsJson : public PuitsMisEnForme {
protected:
    void Rendre(VersZone& s, const Enregistrement& e, const Modes&) override { RendreJson(s, e); }
    void Rendre(VersFichier& s, const Enregistrement& e, const Modes&) override {
        RendreJson(s, e);
    }
};

} // namespace

std::unique_ptr<Puits> FabriquerJson(const ContexteSortie&) {
    return std::make_unique<PuitsJson>();
}

} // namespace vek
