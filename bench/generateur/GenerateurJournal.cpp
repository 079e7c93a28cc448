#include "GenerateurJournal.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <string_view>
#include <unordered_set>

#include "Cp1252.h"

namespace vek {

namespace {

// Textes écrits ici en UTF-8, convertis une fois en Windows-1252.
constexpr std::array<std::string_view, 41> PrenomsDeBase = {
    "Aldric",   "Bérengère", "François", "Cœlio",     "Éloïse",  "Gaël",    "Maëlle",
    "Noémie",   "Hélène",    "Jérôme",   "Agnès",     "aldric",  "Benoît",  "Céleste",
    "Clémence", "Edmée",     "Fulbert",  "Geneviève", "Hugues",  "Inès",    "Joël",
    "Léonore",  "Mathéo",    "Oriane",   "Pénélope",  "Quentin", "Raphaël", "Séraphine",
    "Thaïs",    "Ulrich",    "Valère",   "Wandrille", "Yseult",  "Zoé",     "Æthelred",
    "Œdipe",    "Bérénice",  "Ysaÿe",    "Anaïs",     "Loïc",    "Gaëtan",
};
constexpr std::array<std::string_view, 30> Prefixes = {
    "Al", "Bé", "Cha", "Dé", "É",  "Fré", "Gué", "Hé", "Jo", "Ké",  "Lé", "Ma", "Né", "O",  "Pé",
    "Ra", "Sé", "Té",  "U",  "Va", "Wil", "Xa",  "Yo", "Za", "Brü", "Cœ", "Fa", "Gi", "Mé", "Ro"};
constexpr std::array<std::string_view, 10> Milieux = {"",   "l",  "r",  "n",  "ma",
                                                      "bé", "ri", "lo", "ne", "ta"};
constexpr std::array<std::string_view, 20> Suffixes = {
    "bert", "drin", "gère", "lise",  "mond", "nès", "ric",  "thée",  "vin", "wald",
    "çois", "rène", "lœn",  "phine", "tan",  "mée", "dric", "zelle", "lan", "rie"};

constexpr std::array<std::string_view, 30> ChannelsDeBase = {
    "Commerce",   "Guilde",       "Général",    "Aide",    "Recrutement",      "Région",
    "Événements", "Jeu de rôle",  "Négoce",     "Chasse",  "Artisanat",        "Forgerons",
    "Alchimie",   "Bibliothèque", "Tavernes",   "Écuries", "Marché noir",      "Hors-jeu",
    "Annonces",   "Défis",        "Tournoi",    "Quêtes",  "Exploration",      "Mages",
    "Prêtres",    "Voleurs",      "Chevaliers", "Bardes",  "Cœur de la ville", "Façade nord"};

constexpr std::array<std::string_view, 40> Phrases = {
    "bonjour à tous",
    "salut !",
    "qui vend des épées ?",
    "je cherche un forgeron",
    "rendez-vous à la forêt de Brocéliande",
    "ça marche",
    "merci beaucoup",
    "à plus tard",
    "quelqu'un pour la quête du dragon ?",
    "j'achète du minerai à 12 €",
    "l'œuvre du mage est terminée",
    "où est le maître d'armes ?",
    "on se retrouve à la taverne",
    "très bien, j'arrive",
    "désolé, je dois partir",
    "c'est noté",
    "la garde ferme les portes à l'aube",
    "belle journée pour une chasse",
    "qui a vu le marchand ambulant ?",
    "je vends une cape en soie fine",
    "attention aux loups près du pont",
    "bravo pour le tournoi !",
    "la réunion de guilde est à 21 h",
    "« Tenez bon », dit le héros",
    "il me faut trois pièces d'or",
    "pas de souci",
    "j'ai trouvé un cœur de golem",
    "voilà, c'est fait…",
    "on part dans cinq minutes",
    "quel est le prix du pain ?",
    "hé, attendez-moi !",
    "bien joué",
    "naïf comme un écuyer",
    "le château est pris",
    "sœur Agathe soigne les blessés",
    "façon de parler",
    "c'est déjà l'été ?",
    "vive la mariée !",
    "HRP : je reviens",
    "bonne nuit ((je file, demain boulot))",
};

std::string EnCp1252(std::string_view utf8) {
    std::string sortie;
    if (!Utf8VersCp1252(utf8, sortie))
        sortie.clear(); // les textes ci-dessus existent tous en Windows-1252
    return sortie;
}

std::vector<std::string> PhrasesCp1252() {
    std::vector<std::string> v;
    for (auto p : Phrases)
        v.push_back(EnCp1252(p));
    return v;
}

const std::vector<std::string>& PhrasesConverties() {
    static const std::vector<std::string> phrases = PhrasesCp1252();
    return phrases;
}

// Majuscules Windows-1252, pour écrire un tag dans une autre casse.
std::string EnMajuscules(std::string texte) {
    for (char& c : texte) {
        const auto o = static_cast<unsigned char>(c);
        if ((o >= 'a' && o <= 'z') || (o >= 0xE0 && o <= 0xFE && o != 0xF7))
            c = static_cast<char>(o - 0x20);
        else if (o == 0x9C) // œ
            c = static_cast<char>(0x8C);
    }
    return texte;
}

std::int64_t JourEnNombre(const JourCivil& j) {
    using namespace std::chrono;
    const year_month_day ymd{year{j.annee}, month{static_cast<unsigned>(j.mois)},
                             day{static_cast<unsigned>(j.jour)}};
    return sys_days{ymd}.time_since_epoch().count();
}

void AjouterDeuxChiffres(std::string& s, unsigned n) {
    s.push_back(static_cast<char>('0' + n / 10));
    s.push_back(static_cast<char>('0' + n % 10));
}

} // namespace

bool LireJourCivil(const std::string& texte, JourCivil& jour) {
    int j = 0;
    int m = 0;
    int a = 0;
    char fin = 0;
    if (std::sscanf(texte.c_str(), "%d/%d/%d%c", &j, &m, &a, &fin) != 3)
        return false;
    using namespace std::chrono;
    const year_month_day ymd{year{a}, month{static_cast<unsigned>(m)},
                             day{static_cast<unsigned>(j)}};
    if (a < 1 || a > 9999 || m < 1 || m > 12 || j < 1 || !ymd.ok())
        return false;
    jour = JourCivil{a, m, j};
    return true;
}

std::string NomLocuteur(int i) {
    const auto n = static_cast<std::size_t>(i);
    if (n < PrenomsDeBase.size())
        return EnCp1252(PrenomsDeBase[n]);
    const std::size_t k = n - PrenomsDeBase.size();
    std::string nom(Prefixes[k % Prefixes.size()]);
    nom += Milieux[(k / Prefixes.size()) % Milieux.size()];
    nom += Suffixes[(k / (Prefixes.size() * Milieux.size())) % Suffixes.size()];
    const std::size_t tour = k / (Prefixes.size() * Milieux.size() * Suffixes.size());
    if (tour > 0)
        nom += std::to_string(tour);
    return EnCp1252(nom);
}

std::string TagChannel(int i) {
    const auto n = static_cast<std::size_t>(i);
    std::string nom;
    if (n < ChannelsDeBase.size()) {
        nom = ChannelsDeBase[n];
    } else {
        nom = "Canal ";
        nom += std::to_string(n + 1);
    }
    std::string tag = "[";
    tag += EnCp1252(nom);
    tag += ']';
    return tag;
}

GenerateurJournal::GenerateurJournal(const ParametresJournal& parametres)
    : p_(parametres), etat_(parametres.graine) {
    premiereSeconde_ = JourEnNombre(p_.debut) * 86400;
    dureeSecondes_ = (JourEnNombre(p_.fin) + 1) * 86400 - premiereSeconde_;
    if (dureeSecondes_ < 1)
        dureeSecondes_ = 1;
    // Des noms tous distincts : un nom composé qui en répète un autre est sauté.
    std::unordered_set<std::string> vus;
    for (int i = 0; static_cast<int>(noms_.size()) < std::max(p_.locuteurs, 1); ++i) {
        std::string nom = NomLocuteur(i);
        if (vus.insert(nom).second)
            noms_.push_back(std::move(nom));
    }
    for (int i = 0; i < std::max(p_.channels, 1); ++i) {
        tags_.push_back(TagChannel(i));
        tagsMajuscules_.push_back(EnMajuscules(tags_.back()));
    }
}

std::uint64_t GenerateurJournal::Aleatoire() {
    // splitmix64 : la même suite sur toutes les plates-formes.
    std::uint64_t z = (etat_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t GenerateurJournal::Tirage(std::uint64_t n) {
    return n == 0 ? 0 : Aleatoire() % n;
}

std::size_t GenerateurJournal::TirageAsymetrique(std::size_t n) {
    // u³ : quelques bavards, une longue traîne de discrets.
    const double u = static_cast<double>(Aleatoire() >> 11) * 0x1.0p-53;
    const auto i = static_cast<std::size_t>(u * u * u * static_cast<double>(n));
    return i < n ? i : n - 1;
}

void GenerateurJournal::AjouterEnTete(std::string& ligne) {
    // « MM/JJ/AAAA HH:MM:SS - » : 22 caractères, le corps commence au 23e.
    // Répartie sur toute la période, un peu au hasard, sans jamais revenir en arrière.
    const long double position =
        static_cast<long double>(numero_) + static_cast<long double>(Tirage(1000)) / 1000.0L;
    const std::int64_t seconde =
        premiereSeconde_ +
        static_cast<std::int64_t>(static_cast<long double>(dureeSecondes_) * position /
                                  static_cast<long double>(p_.lignes));
    const std::int64_t jour = seconde / 86400;
    if (jour != jourAffiche_) {
        using namespace std::chrono;
        const year_month_day ymd{sys_days{days{jour}}};
        dateAffichee_.clear();
        AjouterDeuxChiffres(dateAffichee_, static_cast<unsigned>(ymd.month()));
        dateAffichee_ += '/';
        AjouterDeuxChiffres(dateAffichee_, static_cast<unsigned>(ymd.day()));
        dateAffichee_ += '/';
        const int annee = static_cast<int>(ymd.year());
        AjouterDeuxChiffres(dateAffichee_, static_cast<unsigned>(annee / 100));
        AjouterDeuxChiffres(dateAffichee_, static_cast<unsigned>(annee % 100));
        jourAffiche_ = jour;
    }
    const auto dansJour = static_cast<unsigned>(seconde - jour * 86400);
    ligne += dateAffichee_;
    ligne += ' ';
    AjouterDeuxChiffres(ligne, dansJour / 3600);
    ligne += ':';
    AjouterDeuxChiffres(ligne, dansJour / 60 % 60);
    ligne += ':';
    AjouterDeuxChiffres(ligne, dansJour % 60);
    ligne += " - ";
}

void GenerateurJournal::AjouterMessage(std::string& ligne) {
    const auto& phrases = PhrasesConverties();
    const std::uint64_t forme = Tirage(100);
    if (forme < 4) {
        // Quelqu'un interpellé par son nom entre guillemets.
        ligne += '"';
        ligne += noms_[TirageAsymetrique(noms_.size())];
        ligne += "\", ";
    }
    ligne += phrases[Tirage(phrases.size())];
    // Une marque « HRP » ne vaut qu'en tête du message : plus loin, la phrase hors role-play
    // s'écrit entre doubles parenthèses.
    const auto suite = [&] {
        const std::string& phrase = phrases[Tirage(phrases.size())];
        if (phrase.starts_with("HRP"))
            ligne += "((" + phrase + "))";
        else
            ligne += phrase;
    };
    const std::uint64_t longueur = Tirage(100);
    if (longueur >= 60) {
        const char derniere = ligne.back();
        const bool ponctuee = derniere == '?' || derniere == '!' || derniere == '\x85'; // …
        ligne += longueur < 80 || ponctuee ? " " : ". ";
        suite();
    }
    if (longueur >= 95) {
        ligne += ' ';
        suite();
    }
    if (Tirage(100) < 3)
        ligne += "  "; // espaces en fin de ligne, rognés par l'extraction
}

void GenerateurJournal::AjouterNonDatee(std::string& ligne) {
    switch (Tirage(4)) {
    case 0:
        break; // ligne vide
    case 1:
        ligne += "    ";
        AjouterMessage(ligne);
        break;
    case 2:
        ligne += "--- Nouvelle session ---";
        break;
    default:
        ligne += "*** Journal de discussion Q7R ***";
        break;
    }
}

bool GenerateurJournal::LigneSuivante(std::string& ligne) {
    if (numero_ >= p_.lignes)
        return false;
    std::uint64_t genre = Tirage(1000);
    // La première et la dernière ligne sont datées : l'analyse en tire la période.
    const bool bord = numero_ == 0 || numero_ + 1 == p_.lignes;
    if (bord && genre >= 970)
        genre %= 520;
    if (genre >= 970) {
        AjouterNonDatee(ligne);
        ++numero_;
        return true;
    }
    AjouterEnTete(ligne);
    const std::string& nom = noms_[TirageAsymetrique(noms_.size())];
    if (genre < 520) {
        // Message de channel : [Commerce] "Aldric": bonjour
        const std::size_t c = TirageAsymetrique(tags_.size());
        const std::string& tag = Tirage(100) < 2 && !bord ? tagsMajuscules_[c] : tags_[c];
        ligne += tag;
        ligne += " \"";
        ligne += nom;
        ligne += "\": ";
        if (Tirage(100) == 0) {
            ligne += "voir ";
            ligne += tags_[c];
            ligne += ", ";
        }
        AjouterMessage(ligne);
    } else if (genre < 750) {
        // Proximité : {Aldric}":"bonjour
        ligne += '{';
        ligne += nom;
        ligne += "}\":\"";
        AjouterMessage(ligne);
    } else if (genre < 820) {
        ligne += "Vous avez dit : ";
        AjouterMessage(ligne);
    } else if (genre < 880) {
        ligne += nom;
        ligne += " vous appelle : ";
        AjouterMessage(ligne);
    } else if (genre < 900) {
        ligne += "Vous appelez ";
        ligne += nom;
        ligne += " : ";
        AjouterMessage(ligne);
    } else {
        switch (Tirage(4)) {
        case 0:
            ligne += nom;
            ligne += " a rejoint le channel ";
            ligne += tags_[TirageAsymetrique(tags_.size())];
            ligne += '.';
            break;
        case 1:
            ligne += "Vous avez rejoint le channel ";
            ligne += tags_[TirageAsymetrique(tags_.size())];
            ligne += '.';
            break;
        case 2:
            ligne += nom;
            ligne += " vient de se connecter.";
            break;
        default:
            ligne += EnCp1252("Connexion établie avec le serveur Q7R.");
            break;
        }
    }
    ++numero_;
    return true;
}

bool EcrireJournal(const ParametresJournal& parametres, std::FILE* sortie) {
    GenerateurJournal generateur(parametres);
    constexpr std::size_t Seuil = std::size_t{1} << 20;
    std::string tampon;
    tampon.reserve(Seuil + 4096);
    while (generateur.LigneSuivante(tampon)) {
        tampon += "\r\n";
        if (tampon.size() >= Seuil) {
            if (std::fwrite(tampon.data(), 1, tampon.size(), sortie) != tampon.size())
                return false;
            tampon.clear();
        }
    }
    if (!tampon.empty() && std::fwrite(tampon.data(), 1, tampon.size(), sortie) != tampon.size())
        return false;
    return std::fflush(sortie) == 0;
}

std::string JournalEnTexte(const ParametresJournal& parametres) {
    GenerateurJournal generateur(parametres);
    std::string texte;
    while (generateur.LigneSuivante(texte))
        texte += "\r\n";
    return texte;
}

} // namespace vek
