#include "Requete.h"

#include "Cp1252.h"
#include "Ligne.h"
#include "Repli.h"

#include <cstdio>
#include <optional>
#include <string_view>

namespace vek {

namespace {

const std::string ActionRequete = "Requête incorrecte";

// Sépare les éléments : l'espace, les caractères de contrôle, l'espace insécable et les cinq
// octets que Windows-1252 laisse sans caractère.
bool EstBlanc(unsigned char c) {
    return c <= 0x20 || c == 0x7F || c == 0xA0 || c == 0x81 || c == 0x8D || c == 0x8F ||
           c == 0x90 || c == 0x9D;
}

// Un bout de la requête tel que l'utilisateur l'a écrit, pour un message : en UTF-8, entre
// guillemets français, abrégé au-delà de 40 caractères ; un caractère de contrôle y est montré
// par son symbole (␉ pour la tabulation), jamais tel quel.
std::string Cite(std::string_view cp1252) {
    std::string texte = "« ";
    for (const char octet : cp1252.substr(0, 40)) {
        const auto c = static_cast<unsigned char>(octet);
        if (c < 0x20 || c == 0x7F)
            AjouterUtf8(texte, c == 0x7F ? U'\u2421' : static_cast<char32_t>(0x2400 + c));
        else if (EstBlanc(c))
            texte += ' ';
        else
            AjouterUtf8(texte, CaractereCp1252(c));
    }
    texte += cp1252.size() > 40 ? "… »" : " »";
    return texte;
}

// Un caractère qui n'a pas d'octet en Windows-1252 : son numéro Unicode, et le caractère
// lui-même s'il s'écrit sans danger (ni contrôle ni format).
std::string Inconnu(char32_t c) {
    char numero[16];
    std::snprintf(numero, sizeof numero, "U+%04X", static_cast<unsigned>(c));
    std::string texte = numero;
    const bool visible = c >= 0xA0 && !(c >= 0x2000 && c <= 0x206F) && c != 0xFEFF &&
                         !(c >= 0xFFF0 && c <= 0xFFFF) && !(c >= 0xE0000 && c <= 0xE007F);
    if (visible) {
        texte += " « ";
        AjouterUtf8(texte, c);
        texte += " »";
    }
    return texte;
}

std::string Caractere(std::size_t i) {
    return "au caractère " + std::to_string(i + 1);
}

// Les mots repliés d'un texte : ses suites de lettres et de chiffres.
std::vector<std::string> MotsReplies(std::string_view texte) {
    std::vector<std::string> mots;
    std::size_t i = 0;
    while (i < texte.size()) {
        while (i < texte.size() && !LettreOuChiffre(static_cast<unsigned char>(texte[i])))
            ++i;
        const std::size_t debut = i;
        while (i < texte.size() && LettreOuChiffre(static_cast<unsigned char>(texte[i])))
            ++i;
        if (i > debut)
            mots.push_back(Replie(texte.substr(debut, i - debut)));
    }
    return mots;
}

enum class Genre { Mots, De, Channel };

// Le préfixe de: ou channel: en tête de texte, casse ignorée ; sa longueur.
std::size_t Prefixe(std::string_view texte, Genre& genre) {
    const auto commencePar = [&](std::string_view p) {
        if (texte.size() < p.size())
            return false;
        for (std::size_t i = 0; i < p.size(); ++i)
            if (Replier(static_cast<unsigned char>(texte[i])).octets[0] != p[i])
                return false;
        return true;
    };
    if (commencePar("de:")) {
        genre = Genre::De;
        return 3;
    }
    if (commencePar("channel:")) {
        genre = Genre::Channel;
        return 8;
    }
    genre = Genre::Mots;
    return 0;
}

class Analyseur {
public:
    explicit Analyseur(std::string_view texte) : t_(texte) {}

    // Rend l'explication de la première faute, ou rien.
    std::optional<std::string> Analyser(Requete& r) {
        for (;;) {
            while (i_ < t_.size() && EstBlanc(Octet(i_)))
                ++i_;
            if (i_ == t_.size())
                return std::nullopt;
            if (auto faute = Element(r))
                return faute;
        }
    }

private:
    unsigned char Octet(std::size_t i) const { return static_cast<unsigned char>(t_[i]); }

    // La valeur d'un élément : entre guillemets, ou jusqu'au blanc ou au guillemet suivant.
    std::optional<std::string> Valeur(std::string_view& valeur, bool& citee) {
        citee = i_ < t_.size() && t_[i_] == '"';
        if (citee) {
            const std::size_t fin = t_.find('"', i_ + 1);
            if (fin == std::string_view::npos)
                return "le guillemet ouvert " + Caractere(i_) +
                       " n'est jamais fermé : fermez la phrase par un autre guillemet";
            valeur = t_.substr(i_ + 1, fin - i_ - 1);
            i_ = fin + 1;
            return std::nullopt;
        }
        const std::size_t debut = i_;
        while (i_ < t_.size() && !EstBlanc(Octet(i_)) && t_[i_] != '"')
            ++i_;
        valeur = t_.substr(debut, i_ - debut);
        return std::nullopt;
    }

    std::optional<std::string> Element(Requete& r) {
        const std::size_t debut = i_;
        const bool exclu = t_[i_] == '-';
        if (exclu && (++i_ == t_.size() || EstBlanc(Octet(i_))))
            return "le « - » " + Caractere(debut) +
                   " est seul : collez-le au mot ou à la phrase à écarter (-mot, -\"une phrase\")";
        Genre genre = Genre::Mots;
        i_ += Prefixe(t_.substr(i_), genre);
        std::string_view valeur;
        bool citee = false;
        if (auto faute = Valeur(valeur, citee))
            return faute;
        const std::string_view ecrit = t_.substr(debut, i_ - debut);
        if (genre == Genre::Mots) {
            Terme terme{MotsReplies(valeur), exclu};
            if (terme.mots.empty())
                return citee ? "les guillemets " + Caractere(debut + (exclu ? 1 : 0)) +
                                   " n'entourent aucun mot"
                             : Cite(ecrit) + " ne contient ni lettre ni chiffre : un mot "
                                             "cherché en est fait";
            r.termes.push_back(std::move(terme));
            return std::nullopt;
        }
        while (!valeur.empty() && EstBlanc(static_cast<unsigned char>(valeur.front())))
            valeur.remove_prefix(1);
        while (!valeur.empty() && EstBlanc(static_cast<unsigned char>(valeur.back())))
            valeur.remove_suffix(1);
        if (genre == Genre::De) {
            if (valeur.empty())
                return Cite(ecrit) + " ne nomme personne : écrivez le nom juste après « de: »";
            r.locuteurs.push_back({Replie(valeur), exclu});
            return std::nullopt;
        }
        // Les crochets du tag sont admis.
        if (valeur.size() >= 2 && valeur.front() == '[' && valeur.back() == ']')
            valeur = valeur.substr(1, valeur.size() - 2);
        if (valeur.empty())
            return Cite(ecrit) +
                   " ne nomme aucun channel : écrivez son nom juste après « channel: »";
        Champ channel{{}, exclu};
        MettreEnMajuscules(valeur, channel.valeur);
        r.channels.push_back(std::move(channel));
        return std::nullopt;
    }

    std::string_view t_;
    std::size_t i_ = 0;
};

bool Retient(const Requete& r) {
    for (const Terme& t : r.termes)
        if (!t.exclu)
            return true;
    for (const auto* champs : {&r.locuteurs, &r.channels})
        for (const Champ& c : *champs)
            if (!c.exclu)
                return true;
    return false;
}

} // namespace

Issue<Requete> AnalyserRequete(VueUtf8 texte) {
    TexteCp1252 octets;
    std::size_t fautif = 0;
    if (!Utf8VersCp1252(texte, octets, &fautif)) {
        std::size_t n = 0, caractere = 0;
        char32_t c = 0;
        // Le numéro du caractère en cause parmi ceux qui le précèdent.
        while (n < fautif && LireCaractereUtf8(texte, n, c))
            ++caractere;
        std::size_t apres = fautif;
        const bool lisible = LireCaractereUtf8(texte, apres, c);
        return Resultat::Echec(ActionRequete, {},
                               lisible ? "le caractère " + Inconnu(c) + " " + Caractere(caractere) +
                                             " n'existe pas en Windows-1252, l'encodage du "
                                             "journal : aucune ligne ne peut le contenir"
                                       : "elle n'est pas écrite en UTF-8 valide (octet inattendu " +
                                             Caractere(caractere) + ")");
    }
    Requete r;
    if (auto faute = Analyseur(octets).Analyser(r))
        return Resultat::Echec(ActionRequete, {}, *faute);
    if (!Retient(r))
        return Resultat::Echec(ActionRequete, {},
                               r.termes.empty() && r.locuteurs.empty() && r.channels.empty()
                                   ? "elle est vide : écrivez un mot, une phrase entre "
                                     "guillemets, de:NOM ou channel:NOM"
                                   : "elle ne fait qu'écarter ; ajoutez ce qu'il faut trouver "
                                     "(un mot, une phrase, de:NOM ou channel:NOM)");
    return r;
}

} // namespace vek
