#include "Messages.h"

#include "ProgressionConsole.h"

namespace vek {

namespace {

// L'action qui marque une erreur d'utilisation ; sa raison est le message montré.
constexpr std::string_view ActionUtilisation = "Utilisation incorrecte";

bool EstUtilisation(const Resultat& r) {
    return r.action == ActionUtilisation;
}

// L'action qui marque une recherche sans résultat.
constexpr std::string_view ActionRienTrouve = "Rien trouvé";

} // namespace

std::string Guillemets(std::string_view texte) {
    std::string s = "« ";
    s += texte;
    s += " »";
    return s;
}

Resultat ErreurUtilisation(std::string message) {
    return Resultat::Echec(std::string(ActionUtilisation), {}, std::move(message));
}

Resultat UtilisationDejaDite() {
    return ErreurUtilisation({});
}

Resultat EchecDejaDit() {
    return Resultat::Echec({}, {}, {});
}

Resultat RienTrouve(std::string message) {
    return Resultat::Echec(std::string(ActionRienTrouve), {}, std::move(message));
}

void Messages::Avertir(std::string_view message) {
    if (barre_ != nullptr)
        barre_->Effacer();
    err_ << "vek-extraire : " << message << '\n';
}

void Messages::Completer(std::string_view ligne) {
    err_ << ligne << '\n';
}

int Messages::Conclure(const Resultat& issue) {
    if (issue.ok)
        return SortieSucces;
    if (issue.interrompu) {
        Avertir("interrompu ; les fichiers temporaires sont supprimés et les anciennes sorties "
                "sont gardées.");
        const int signal = signal_ != nullptr ? signal_->load() : 0;
        return signal > 0 ? 128 + signal : SortieEchecFichier;
    }
    if (issue.action == ActionRienTrouve) {
        if (!issue.raison.empty())
            Avertir(issue.raison);
        return SortieRienTrouve;
    }
    if (EstUtilisation(issue)) {
        if (!issue.raison.empty()) {
            Avertir(issue.raison);
            Completer("Essayez « vek-extraire --help » pour la liste des options.");
        }
        return SortieErreurUsage;
    }
    if (!issue.action.empty())
        Avertir(issue.Message());
    return SortieEchecFichier;
}

} // namespace vek
