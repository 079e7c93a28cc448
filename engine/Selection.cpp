#include "Selection.h"

#include "Ligne.h"

#include <algorithm>
#include <cstring>

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

std::string_view RemplacerTout(std::string_view texte, std::string_view cherche,
                               std::string_view remplace, std::string& destination) {
    if (cherche.empty())
        return texte;
    auto chercher = [&](std::size_t depuis) { return texte.find(cherche, depuis); };
    std::size_t pos = chercher(0);
    if (pos == std::string_view::npos)
        return texte;
    destination.clear();
    std::size_t depuis = 0;
    while (pos != std::string_view::npos) {
        destination.append(texte.substr(depuis, pos - depuis));
        destination.append(remplace);
        depuis = pos + cherche.size();
        pos = chercher(depuis);
    }
    destination.append(texte.substr(depuis));
    return destination;
}

namespace {

void Composer(std::string& sortie, std::string_view avant, std::string_view milieu,
              std::string_view apres) {
    sortie.clear();
    sortie.append(avant.data(), avant.size());
    sortie.append(milieu.data(), milieu.size());
    sortie.append(apres.data(), apres.size());
}

} // namespace

std::optional<std::string_view> FiltrerEtReecrire(std::string_view ligne,
                                                  const Selection& selection, const Modes& modes,
                                                  TravailReecriture& t) {
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
        return std::nullopt;

    // Le nom et le tag sont des vues dans la ligne d'origine (ou tamponTag), qui ne change
    // pas : les remplacements écrivent dans les tampons alternés.
    std::string_view courant = ligne;
    int prochain = 0;
    auto remplacer = [&](std::string_view cherche, std::string_view remplace) {
        std::string& destination = t.tampons[prochain];
        courant = RemplacerTout(courant, cherche, remplace, destination);
        if (courant.data() == destination.data())
            prochain ^= 1;
    };

    if (modes.ModeUnlessChannel && e.genre == GenreCorps::Channel)
        remplacer(e.tag, {});
    if (modes.ModeUnlessDate)
        courant.remove_prefix(std::min(courant.size(), LongueurEnTete));
    if (modes.ModeRPName) {
        Composer(t.motif, "\"", e.nom, "\"");
        remplacer(t.motif, e.nom);
        Composer(t.motif, "{", e.nom, "}\":\"");
        Composer(t.remplacement, "", e.nom, " : ");
        remplacer(t.motif, t.remplacement);
    }
    return RognerEspaces(courant);
}

bool TraiterLigne(std::string& ligne, const Selection& selection, const Modes& modes,
                  TravailReecriture& travail) {
    const auto reecrite = FiltrerEtReecrire(ligne, selection, modes, travail);
    if (!reecrite)
        return false;
    // La vue peut désigner une partie de la ligne elle-même : on passe par un tampon.
    travail.nom.assign(*reecrite);
    ligne.swap(travail.nom);
    return true;
}

} // namespace vek
