#include "Selection.h"

#include "Ligne.h"

#include <algorithm>

namespace vek {

void Selection::Vider() {
    SelChannels.clear();
    SelNoms.clear();
    NbSelChannels = 0;
    NbSelNoms = 0;
    channels_.Vider();
    noms_.Vider();
}

void Selection::AjouterChannel(std::string_view texte) {
    if (NbSelChannels >= MaxChannels)
        return;
    if (!channels_.Contient(texte))
        channels_.Ajouter(texte);
    SelChannels.emplace_back(texte);
    ++NbSelChannels;
}

void Selection::AjouterNom(std::string_view texte) {
    if (NbSelNoms >= MaxNoms)
        return;
    if (!noms_.Contient(texte))
        noms_.Ajouter(texte);
    SelNoms.emplace_back(texte);
    ++NbSelNoms;
}

bool Selection::ChannelEtNomRetenus(std::string_view nom, std::string_view channel) const {
    return NomRetenu(nom) && channels_.Contient(channel);
}

bool Selection::ProximiteEtNomRetenus(std::string_view nom) const {
    return channels_.Contient(TexteZoneProximite) && NomRetenu(nom);
}

bool Selection::NomRetenu(std::string_view nom) const {
    return noms_.Contient(nom);
}

void RemplacerTout(std::string& texte, std::string_view cherche, std::string_view remplace,
                   std::string& tampon) {
    if (cherche.empty())
        return;
    std::size_t pos = texte.find(cherche);
    if (pos == std::string::npos)
        return;
    tampon.clear();
    std::size_t depuis = 0;
    while (pos != std::string::npos) {
        tampon.append(texte, depuis, pos - depuis);
        tampon.append(remplace);
        depuis = pos + cherche.size();
        pos = texte.find(cherche, depuis);
    }
    tampon.append(texte, depuis, std::string::npos);
    texte.swap(tampon);
}

namespace {

// Zones de travail de la réécriture : le nom et le tag sont recopiés avant que la ligne change.
struct Travail {
    std::string tag;
    std::string nom;
    std::string motif;
    std::string remplacement;
    std::string tamponTag;
};

void Composer(std::string& sortie, std::string_view avant, std::string_view milieu,
              std::string_view apres) {
    sortie.resize(avant.size() + milieu.size() + apres.size());
    char* p = sortie.data();
    p = std::copy(avant.begin(), avant.end(), p);
    p = std::copy(milieu.begin(), milieu.end(), p);
    std::copy(apres.begin(), apres.end(), p);
}

} // namespace

bool TraiterLigne(std::string& ligne, const Selection& selection, const Modes& modes,
                  std::string& tampon) {
    thread_local Travail t;
    const std::string_view corps = CorpsDeLigne(ligne);
    const Extraction e = AnalyserCorps(corps, t.tamponTag);
    bool retenue = false;
    switch (e.genre) {
    case GenreCorps::Channel:
        retenue = selection.ChannelEtNomRetenus(e.nom, e.tag);
        break;
    case GenreCorps::Proximite:
    case GenreCorps::Vous:
        retenue = selection.ProximiteEtNomRetenus(e.nom);
        break;
    case GenreCorps::Autre:
        // Chuchotement reçu : seulement si le corps contient « vous appelle ».
        retenue = ContientVousAppelle(corps) && selection.NomRetenu(NomWhisps);
        break;
    }
    if (!retenue)
        return false;

    const bool estChannel = e.genre == GenreCorps::Channel;
    t.nom.assign(e.nom);
    if (estChannel)
        t.tag.assign(e.tag);

    if (modes.ModeUnlessChannel && estChannel)
        RemplacerTout(ligne, t.tag, {}, tampon);
    if (modes.ModeUnlessDate)
        ligne.erase(0, std::min(ligne.size(), LongueurEnTete));
    if (modes.ModeRPName) {
        Composer(t.motif, "\"", t.nom, "\"");
        RemplacerTout(ligne, t.motif, t.nom, tampon);
        Composer(t.motif, "{", t.nom, "}\":\"");
        Composer(t.remplacement, "", t.nom, " : ");
        RemplacerTout(ligne, t.motif, t.remplacement, tampon);
    }
    const std::size_t debut = ligne.find_first_not_of(' ');
    if (debut == std::string::npos) {
        ligne.clear();
    } else {
        ligne.erase(ligne.find_last_not_of(' ') + 1);
        ligne.erase(0, debut);
    }
    return true;
}

} // namespace vek
