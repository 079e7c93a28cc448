#include "GenerateurScene.h"

#include <chrono>
#include <cstdio>
#include <map>

namespace vek {

namespace {

const char* const Mots[] = {"oui",    "non",         "peut-\xEAtre", "le ch\xE2teau", "la for\xEAt",
                            "demain", "\xE0 l'aube", "prenez garde", "le dragon",     "C\x9clio",
                            "merci",  "en route",    "la taverne",   "un verre",      "silence"};

class Hasard {
public:
    explicit Hasard(std::uint64_t graine) : etat_(graine * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint64_t Tirer(std::uint64_t n) {
        etat_ ^= etat_ << 13;
        etat_ ^= etat_ >> 7;
        etat_ ^= etat_ << 17;
        return n == 0 ? 0 : etat_ % n;
    }

private:
    std::uint64_t etat_;
};

std::string EnTete(std::int64_t secondes) {
    const std::chrono::sys_seconds t{std::chrono::seconds{secondes}};
    const auto jour = std::chrono::floor<std::chrono::days>(t);
    const std::chrono::year_month_day ymd{jour};
    const std::chrono::hh_mm_ss hms{t - jour};
    char texte[32];
    std::snprintf(texte, sizeof texte, "%02u/%02u/%04d %02d:%02d:%02d - ",
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                  static_cast<int>(ymd.year()), static_cast<int>(hms.hours().count()),
                  static_cast<int>(hms.minutes().count()), static_cast<int>(hms.seconds().count()));
    return texte;
}

std::string Texte(Hasard& h) {
    std::string t = Mots[h.Tirer(std::size(Mots))];
    if (h.Tirer(3) != 0)
        t += std::string(" ") + Mots[h.Tirer(std::size(Mots))];
    return t;
}

bool Membre(const JoueurScene& j, int channel) {
    for (const int c : j.channels)
        if (c == channel)
            return true;
    return false;
}

// Le corps de la ligne qu'écrit le journal du joueur k pour le message m.
std::string Corps(const MessageScene& m, const JoueurScene& j) {
    switch (m.genre) {
    case MessageScene::Genre::Channel:
        return TagScene(m.channel) + " \"" + m.locuteur + "\": " + m.texte;
    case MessageScene::Genre::Proximite:
        return m.locuteur == j.nom ? "Vous avez dit : " + m.texte
                                   : "{" + m.locuteur + "}\":\"" + m.texte;
    case MessageScene::Genre::Murmure:
        return m.locuteur + " vous appelle : " + m.texte;
    case MessageScene::Genre::Jeu:
        return "Vous gagnez " + m.texte + " points d'exp\xE9rience.";
    }
    return {};
}

MessageScene Tirer(const ParametresScene& p, Hasard& h, std::int64_t instant) {
    MessageScene m;
    m.instant = instant;
    m.texte = Texte(h);
    const std::size_t n = p.joueurs.size();
    m.entendu.assign(n, false);
    const auto personnage = [&] {
        return "Perso" + std::to_string(h.Tirer(static_cast<std::uint64_t>(p.personnages)));
    };
    const std::uint64_t tirage = h.Tirer(100);
    if (tirage < static_cast<std::uint64_t>(p.proportionPrivee)) {
        const std::size_t k = h.Tirer(n);
        m.genre = h.Tirer(2) == 0 ? MessageScene::Genre::Murmure : MessageScene::Genre::Jeu;
        m.locuteur = m.genre == MessageScene::Genre::Murmure ? personnage() : "";
        if (m.genre == MessageScene::Genre::Jeu)
            m.texte = std::to_string(h.Tirer(90) + 10);
        m.entendu[k] = true;
    } else if (tirage < 40) {
        m.genre = MessageScene::Genre::Channel;
        m.channel = static_cast<int>(h.Tirer(static_cast<std::uint64_t>(p.channels)));
        const std::size_t k = h.Tirer(n + 1);
        m.locuteur = k < n && Membre(p.joueurs[k], m.channel) ? p.joueurs[k].nom : personnage();
        for (std::size_t j = 0; j < n; ++j)
            m.entendu[j] = Membre(p.joueurs[j], m.channel);
    } else {
        m.genre = MessageScene::Genre::Proximite;
        const std::size_t k = h.Tirer(n + 2);
        m.locuteur = k < n ? p.joueurs[k].nom : personnage();
        for (std::size_t j = 0; j < n; ++j)
            m.entendu[j] = j == k || h.Tirer(100) < static_cast<std::uint64_t>(p.ecoute);
    }
    return m;
}

} // namespace

std::string TagScene(int channel) {
    static const char* const Noms[] = {"[Guilde]", "[Commerce]", "[Taverne]", "[March\xE9]"};
    return channel < 4 ? Noms[channel] : "[Canal" + std::to_string(channel) + "]";
}

void EcrireScene(const ParametresScene& p,
                 const std::function<void(std::size_t joueur, const std::string& ligne)>& ecrire,
                 const std::function<void(MessageScene&&)>& garder) {
    Hasard h(p.graine);
    std::int64_t instant = p.debut != 0 ? p.debut : 1009224000; // 24/12/2001 20:00:00
    // Le même message du même locuteur ne revient pas à moins de cinq secondes : sinon deux
    // messages vrais seraient impossibles à distinguer de deux copies.
    std::map<std::string, std::int64_t> dernier;
    std::string ligne;
    for (std::uint64_t i = 0; i < p.messages; ++i) {
        instant += 1 + static_cast<std::int64_t>(h.Tirer(6));
        MessageScene m = Tirer(p, h, instant);
        if (const auto d = dernier.find(m.locuteur + '\0' + m.texte);
            d != dernier.end() && instant - d->second < 5)
            m.texte += " !";
        if (dernier.size() > 4096)
            dernier.clear(); // tous de plus de cinq secondes : plus rien à éviter
        dernier[m.locuteur + '\0' + m.texte] = instant;
        for (std::size_t k = 0; k < p.joueurs.size(); ++k) {
            if (!m.entendu[k])
                continue;
            const JoueurScene& j = p.joueurs[k];
            const std::int64_t ecrit =
                instant + j.avance + (j.hesitation ? static_cast<std::int64_t>(h.Tirer(2)) : 0);
            ligne = EnTete(ecrit) + Corps(m, j) + "\r\n";
            ecrire(k, ligne);
        }
        if (garder)
            garder(std::move(m));
    }
}

Scene GenererScene(const ParametresScene& p) {
    Scene s;
    s.journaux.resize(p.joueurs.size());
    EcrireScene(
        p, [&](std::size_t k, const std::string& ligne) { s.journaux[k] += ligne; },
        [&](MessageScene&& m) { s.messages.push_back(std::move(m)); });
    return s;
}

} // namespace vek
