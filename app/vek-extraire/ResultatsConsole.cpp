#include "ResultatsConsole.h"

#include <cstdio>
#include <functional>

#include "Affichable.h"
#include "Cp1252.h"
#include "Enregistrement.h"
#include "Ligne.h"
#include "Traduction.h"

namespace vek {

namespace {

constexpr std::string_view DebutGras = "\x1b[1m";
constexpr std::string_view FinGras = "\x1b[22m";

// Ce que dit la ligne, lu comme la correspondance le lit : genre, channel, locuteur, message.
// Les vues désignent la ligne, tampon ou des textes fixes.
Parole Lire(std::string_view ligne, std::string& tampon) {
    const std::string_view corps = CorpsDeLigne(ligne);
    return LireParole(corps, AnalyserCorps(corps, tampon));
}

// Un texte du journal tel qu'il s'imprime : en UTF-8, ses contrôles rendus inoffensifs.
std::string Affichable(std::string_view cp1252, bool terminal) {
    return TexteAffichable(Cp1252VersUtf8(cp1252), terminal);
}

// Vrai si vue est une partie de texte.
bool Dans(std::string_view vue, std::string_view texte) {
    const std::less_equal<const char*> avant;
    return avant(texte.data(), vue.data()) &&
           avant(vue.data() + vue.size(), texte.data() + texte.size());
}

// Le message, ses mots trouvés en gras (les passages sont en octets de la ligne).
std::string MessageMisEnValeur(std::string_view ligne, std::string_view message,
                               const std::vector<Passage>& passages,
                               const PresentationResultats& p) {
    std::string s;
    std::size_t fait = 0; // dans le message
    const bool gras = p.gras && Dans(message, ligne);
    const std::size_t debut = gras ? static_cast<std::size_t>(message.data() - ligne.data()) : 0;
    for (const Passage& passage : passages) {
        if (!gras || passage.debut < debut + fait)
            continue;
        const std::size_t a = passage.debut - debut;
        if (a >= message.size())
            break;
        const std::size_t b = std::min(message.size(), a + passage.longueur);
        s += Affichable(message.substr(fait, a - fait), p.terminal);
        s += DebutGras;
        s += Affichable(message.substr(a, b - a), p.terminal);
        s += FinGras;
        fait = b;
    }
    return s + Affichable(message.substr(fait), p.terminal);
}

// Un texte de Windows-1252 dans une chaîne JSON, échappé comme dans LogFinal.jsonl.
void AjouterJson(std::string& s, std::string_view cp1252) {
    const std::size_t avant = s.size();
    s.resize(avant + cp1252.size() * ExpansionMax + 16);
    const char* fin = TraduireVers<Vers::Json>(s.data() + avant, cp1252, TableJson());
    s.resize(static_cast<std::size_t>(fin - s.data()));
}

// Un texte UTF-8 (un nom de fichier) dans une chaîne JSON : guillemets, barres obliques inverses
// et contrôles échappés, une suite d'octets invalide remplacée par U+FFFD.
void AjouterJsonUtf8(std::string& s, std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        if (!LireCaractereUtf8(utf8, i, c)) {
            c = U'\uFFFD';
            ++i;
        }
        if (c == U'"' || c == U'\\') {
            s += '\\';
            s += static_cast<char>(c);
        } else if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned>(c));
            s += code;
        } else {
            AjouterUtf8(s, c);
        }
    }
}

std::string DateIso(Date d) {
    char texte[16];
    std::snprintf(texte, sizeof texte, "%04d-%02d-%02d", d.annee % 10000, d.mois % 100,
                  d.jour % 100);
    return texte;
}

// « hh:mm:ss » d'une heure en secondes depuis minuit.
std::string Heure(int seconde) {
    return InstantCourt({Date{}, seconde}, Precision::Seconde).substr(11);
}

} // namespace

std::string LigneLisible(const LigneTrouvee& t, const PresentationResultats& p) {
    std::string s =
        t.seconde ? InstantCourt({t.date, *t.seconde}, Precision::Seconde) : DateCourte(t.date);
    s += "  ";
    std::string tampon;
    const Parole parole = Lire(t.ligne, tampon);
    if (parole.genre == GenreEntree::Channel)
        s += Affichable(parole.channel, p.terminal) + " ";
    if (parole.reguliere && !parole.nom.empty()) {
        s += Affichable(parole.nom, p.terminal);
        if (parole.genre == GenreEntree::Murmure)
            s += " (murmure)";
        s += " : ";
    }
    s += MessageMisEnValeur(t.ligne, RognerEspaces(parole.message), t.passages, p);
    const bool source = t.source < p.sources.size();
    if (t.seance > 0 || source)
        s += "  —";
    if (t.seance > 0)
        s += " séance " + std::to_string(t.seance) + (source ? "," : "");
    if (source)
        s += " " + TexteAffichable(p.sources[t.source], p.terminal);
    return s;
}

std::string ObjetJson(const LigneTrouvee& t, const PresentationResultats& p) {
    std::string tampon;
    const Parole parole = Lire(t.ligne, tampon);
    std::string s = "{\"date\":\"" + DateIso(t.date) + "\",\"heure\":";
    s += t.seconde ? "\"" + Heure(*t.seconde) + "\"" : std::string("null");
    s += ",\"genre\":\"";
    s += NomsGenre(parole.genre).json;
    s += "\",\"channel\":";
    if (parole.channel.empty()) {
        s += "null";
    } else {
        s += '"';
        AjouterJson(s, parole.channel);
        s += '"';
    }
    s += ",\"nom\":\"";
    AjouterJson(s, parole.nom);
    s += "\",\"texte\":\"";
    AjouterJson(s, RognerEspaces(parole.message));
    s += "\",\"ligne\":\"";
    AjouterJson(s, t.ligne);
    s += "\",\"numero\":" + std::to_string(t.numero) + ",\"seance\":";
    s += t.seance > 0 ? std::to_string(t.seance) : std::string("null");
    if (t.source < p.sources.size()) {
        s += ",\"source\":\"";
        AjouterJsonUtf8(s, p.sources[t.source]);
        s += '"';
    }
    return s + "}";
}

std::string LigneSeance(const SeanceTrouvee& seance) {
    const std::string fin = InstantCourt(seance.fin, Precision::Minute);
    return "Séance " + std::to_string(seance.numero) + " — " +
           InstantCourt(seance.debut, Precision::Minute) + " → " +
           (seance.fin.date == seance.debut.date ? fin.substr(11) : fin) + " : " +
           std::to_string(seance.resultats) + (seance.resultats > 1 ? " résultats" : " résultat");
}

} // namespace vek
