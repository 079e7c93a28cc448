#include "VeilleFichier.h"

#include <windows.h>

#include <string>

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
    explicit VeilleWin32(const NomFichier& chemin)
        : reveil_(::CreateEventA(nullptr, FALSE, FALSE, nullptr)),
          changement_(::FindFirstChangeNotificationA(DossierDe(chemin).c_str(), FALSE,
                                                     FILE_NOTIFY_CHANGE_FILE_NAME |
                                                         FILE_NOTIFY_CHANGE_SIZE |
                                                         FILE_NOTIFY_CHANGE_LAST_WRITE)) {}
    ~VeilleWin32() override {
        if (changement_ != INVALID_HANDLE_VALUE)
            ::FindCloseChangeNotification(changement_);
        if (reveil_)
            ::CloseHandle(reveil_);
    }
    bool Attendre(std::chrono::milliseconds delai) override {
        HANDLE attendus[2] = {reveil_, changement_};
        const DWORD n = changement_ != INVALID_HANDLE_VALUE ? 2 : 1;
        const DWORD r =
            ::WaitForMultipleObjects(n, attendus, FALSE, static_cast<DWORD>(delai.count()));
        if (r == WAIT_OBJECT_0 + 1) {
            // Le dossier disparu (clé retirée, partage coupé) ne se réarme plus : la poignée
            // resterait signalée et le suivi tournerait sans fin. Seul le délai veille alors.
            if (!::FindNextChangeNotification(changement_)) {
                ::FindCloseChangeNotification(changement_);
                changement_ = INVALID_HANDLE_VALUE;
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
    HANDLE changement_;
};

} // namespace

std::unique_ptr<Veille> VeilleDuSysteme(const NomFichier& chemin) {
    return std::make_unique<VeilleWin32>(chemin);
}

} // namespace vek
