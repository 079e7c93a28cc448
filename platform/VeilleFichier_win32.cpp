#include "VeilleFichier.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vek {

namespace {

std::string DossierDe(const NomFichier& chemin) {
    const auto barre = chemin.find_last_of("\\/");
    if (barre == std::string::npos)
        return ".";
    return chemin.substr(0, barre + 1);
}

// La notification de changement du dossier : noms (journal tourné, remplacé), taille et date
// d'écriture. Windows ne la donne souvent qu'à la fermeture du fichier par le jeu : le délai
// d'Attendre fait le reste.
class VeilleWin32 final : public Veille {
public:
    // Un dossier veillé une fois, pour chacun de ses fichiers ; 63 dossiers au plus (la limite
    // d'une attente), les autres laissés au délai.
    explicit VeilleWin32(const std::vector<NomFichier>& chemins)
        : reveil_(::CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
        std::vector<std::string> dossiers;
        for (const NomFichier& chemin : chemins)
            if (const std::string d = DossierDe(chemin);
                std::find(dossiers.begin(), dossiers.end(), d) == dossiers.end())
                dossiers.push_back(d);
        attendus_.push_back(reveil_);
        for (const std::string& d : dossiers) {
            if (attendus_.size() >= MAXIMUM_WAIT_OBJECTS)
                break;
            const HANDLE h = ::FindFirstChangeNotificationA(d.c_str(), FALSE,
                                                            FILE_NOTIFY_CHANGE_FILE_NAME |
                                                                FILE_NOTIFY_CHANGE_SIZE |
                                                                FILE_NOTIFY_CHANGE_LAST_WRITE);
            if (h != INVALID_HANDLE_VALUE)
                attendus_.push_back(h);
        }
    }
    ~VeilleWin32() override {
        for (std::size_t i = 1; i < attendus_.size(); ++i)
            ::FindCloseChangeNotification(attendus_[i]);
        if (reveil_)
            ::CloseHandle(reveil_);
    }
    bool Attendre(std::chrono::milliseconds delai) override {
        const DWORD r =
            ::WaitForMultipleObjects(static_cast<DWORD>(attendus_.size()), attendus_.data(), FALSE,
                                     static_cast<DWORD>(delai.count()));
        if (r > WAIT_OBJECT_0 && r < WAIT_OBJECT_0 + attendus_.size()) {
            // Un dossier disparu (clé retirée, partage coupé) ne se réarme plus : la poignée
            // resterait signalée et le suivi tournerait sans fin. Seul le délai le veille alors.
            const std::size_t i = r - WAIT_OBJECT_0;
            if (!::FindNextChangeNotification(attendus_[i])) {
                ::FindCloseChangeNotification(attendus_[i]);
                attendus_.erase(attendus_.begin() + static_cast<std::ptrdiff_t>(i));
            }
            return true;
        }
        if (r == WAIT_FAILED) // pas même l'événement de réveil : le délai, sans tourner à vide
            ::Sleep(static_cast<DWORD>(delai.count()));
        return false;
    }
    void Reveiller() override {
        if (reveil_)
            ::SetEvent(reveil_);
    }
    // La croissance d'un fichier ouvert n'est souvent signalée qu'à sa fermeture.
    bool SignaleLaCroissance() const override { return false; }

private:
    HANDLE reveil_;
    std::vector<HANDLE> attendus_; // le réveil, puis la notification de chaque dossier
};

} // namespace

std::unique_ptr<Veille> VeilleDuSysteme(const std::vector<NomFichier>& chemins) {
    return std::make_unique<VeilleWin32>(chemins);
}

} // namespace vek
