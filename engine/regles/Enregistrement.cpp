// L'enregistrement d'une ligne retenue, tiré de l'analyse que le filtre vient d'en faire.

#include "Enregistrement.h"

#include "Selection.h"

namespace vek {

namespace {

constexpr std::size_t LongueurVousAppelle = std::string_view("vous appelle").size();

std::size_t PasserEspaces(std::string_view texte, std::size_t i) {
    while (i < texte.size() && texte[i] == ' ')
        ++i;
    return i;
}

// Le message d'une ligne retenue, avant les modes, et si la ligne a la forme régulière de son
// genre (« [Tag] "Nom": texte », « {Nom}":"texte », « Vous avez dit : texte »,
// « Nom vous appelle : texte ») ; sinon, le corps après le tag.
struct Message {
    std::string_view texte;
    bool regulier = false;
};

Message MessageDuChannel(std::string_view corps, const Extraction& x) {
    // Le tag est au début du corps (recomposé, sans « ] », il en couvre toute la longueur).
    const std::size_t apresTag = std::min(x.tag.size(), corps.size());
    if (x.nom.empty())
        return {corps.substr(apresTag), false};
    const auto debut = static_cast<std::size_t>(x.nom.data() - corps.data());
    const std::size_t fin = debut + x.nom.size();
    if (debut >= 1 && corps[debut - 1] == '"' && corps.substr(fin, 2) == "\":")
        return {corps.substr(fin + 2), true};
    return {corps.substr(apresTag), false};
}

Message MessageDeProximite(std::string_view corps, const Extraction& x) {
    const std::size_t fin = 1 + x.nom.size();
    if (corps.substr(fin, 4) == "}\":\"")
        return {corps.substr(fin + 4), true};
    return {corps, false};
}

} // namespace

NomsDuGenre NomsGenre(GenreEntree genre) {
    // Dans l'ordre de GenreEntree.
    static constexpr NomsDuGenre Noms[] = {{"channel", ""},  {"proximite", "p"}, {"dit", "d"},
                                           {"murmure", "m"}, {"appel", "a"},     {"autre", "x"}};
    return Noms[static_cast<std::size_t>(genre)];
}

std::string TexteApresModes(std::string_view message, const Extraction& e, const Modes& modes) {
    // Deux tampons alternés : le message n'est copié qu'au premier remplacement.
    std::string tampons[2];
    std::string_view courant = message;
    const auto remplacer = [&](const std::string& cherche, const std::string& remplace) {
        std::string& destination = courant.data() == tampons[0].data() ? tampons[1] : tampons[0];
        courant = RemplacerTout(courant, cherche, remplace, destination);
    };
    if (modes.ModeUnlessChannel && e.genre == GenreCorps::Channel)
        remplacer(std::string(e.tag), {});
    if (modes.ModeRPName) {
        const std::string nom(e.nom);
        remplacer("\"" + nom + "\"", nom);
        remplacer("{" + nom + "}\":\"", nom + " : ");
    }
    return std::string(RognerEspaces(courant));
}

Parole LireParole(std::string_view corps, const Extraction& x) {
    Parole p;
    Message m{corps, false};
    switch (x.genre) {
    case GenreCorps::Channel:
        p.genre = GenreEntree::Channel;
        p.channel = x.tag;
        p.nom = x.nom;
        m = MessageDuChannel(corps, x);
        break;
    case GenreCorps::Proximite:
        p.genre = GenreEntree::Proximite;
        p.channel = TexteZoneProximite;
        p.nom = x.nom;
        m = MessageDeProximite(corps, x);
        break;
    case GenreCorps::Vous: {
        p.genre = GenreEntree::Dit;
        p.nom = "Vous";
        std::size_t q = PasserEspaces(corps, DebutVousAvezDit.size());
        if (q < corps.size() && corps[q] == ':')
            ++q;
        m = {corps.substr(q), true};
        break;
    }
    case GenreCorps::Autre: {
        // « Aldric vous appelle : … » est un murmure reçu ; toute autre forme qui contient
        // « vous appelle », un appel, montré tel quel ; sans « vous appelle », une autre ligne.
        p.genre = GenreEntree::Appel;
        const std::size_t i = ChercherVousAppelle(corps);
        if (i == std::string_view::npos) {
            p.genre = GenreEntree::Autre;
            break;
        }
        const std::string_view appelant = RognerEspaces(corps.substr(0, i));
        if (appelant.empty() || appelant.find(':') != std::string_view::npos)
            break;
        p.nom = appelant;
        const std::size_t q = PasserEspaces(corps, i + LongueurVousAppelle);
        if (corps[i - 1] == ' ' && q < corps.size() && corps[q] == ':') {
            p.genre = GenreEntree::Murmure;
            m = {corps.substr(q + 1), true};
        }
        break;
    }
    }
    p.message = m.texte;
    p.reguliere = m.regulier;
    return p;
}

Enregistrement ConstruireEnregistrement(std::string_view ligne, const Extraction& x,
                                        std::string_view reecrite, const Modes& modes,
                                        bool formeReguliere, TravailReecriture& travail) {
    Enregistrement r;
    r.ligne = reecrite;
    r.date = DateDeLigne(ligne);
    r.heure = HeureDeLigne(ligne);
    const Parole p = LireParole(CorpsDeLigne(ligne), x);
    r.genre = p.genre;
    r.channel = p.channel;
    r.nom = p.nom;
    const Message m{p.message, p.reguliere};
    r.nomMontre = m.regulier;
    const bool remplacements =
        modes.ModeRPName || (modes.ModeUnlessChannel && x.genre == GenreCorps::Channel);
    if (travail.sansMessage) {
        r.texte = {};
    } else if (!remplacements || (formeReguliere && m.regulier)) {
        // Rien à remplacer dans le message : la forme régulière garantit qu'il ne contient ni
        // le tag, ni le nom entre guillemets ou entre accolades.
        r.texte = RognerEspaces(m.texte);
    } else {
        travail.tamponTexte = TexteApresModes(m.texte, x, modes);
        r.texte = travail.tamponTexte;
    }
    return r;
}

void ReprendreSiDans(std::string& tampon, std::string_view& texte, std::string& sortie) {
    const char* debut = tampon.data();
    if (tampon.empty() || texte.data() < debut ||
        texte.data() + texte.size() > debut + tampon.size())
        return;
    // Un texte court est recopié (un échange ne déplace pas un texte gardé dans l'objet même, et
    // la sortie n'a pas à hériter de la capacité d'une ligne démesurée) ; un long change de
    // mains sans copie. La vue désigne ensuite la sortie.
    const auto decalage = static_cast<std::size_t>(texte.data() - debut);
    if (texte.size() < (std::size_t{1} << 20)) {
        sortie.assign(texte.data(), texte.size());
        texte = sortie;
        return;
    }
    tampon.swap(sortie);
    texte = std::string_view(sortie).substr(decalage, texte.size());
}

} // namespace vek
