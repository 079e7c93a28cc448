// vek-extraire et les caractères de contrôle d'un journal : un nom ou un channel qui contient
// ESC, BEL, BS ou NUL ne commande jamais le terminal, qu'il soit imprimé par --catalogue, par
// --sessions ou parmi les textes proposés.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "Affichable.h"
#include "DossierTemporaire.h"
#include "Extraire.h"

namespace {

using vek::test::DossierTemporaire;

// Un nom qui, imprimé tel quel, changerait le titre du terminal ; un channel avec BS et NUL.
const std::string NomPiege = std::string("A\x1b]0;PWNED\x07", 10);
const std::string ChannelPiege = std::string("Co\x08m\0merce", 10);

struct CasTerminal {
    const char* nom;
    std::vector<std::string> options;
    bool surErreur; // le texte du journal est imprimé sur la sortie d'erreur
    bool terminal;
    const char* attendu; // ce que devient ESC
};

class TerminalSur : public ::testing::TestWithParam<CasTerminal> {
protected:
    void SetUp() override {
        const std::string ligne1 =
            "12/24/2001 20:00:00 - [" + ChannelPiege + "] \"" + NomPiege + "\": bonjour\r\n";
        const std::string ligne2 = "12/24/2001 20:01:00 - \"" + NomPiege + "\": encore\r\n";
        journal = dossier.Ecrire("Chat.TXT", ligne1 + ligne2);
        sortie = dossier.Fichier("sortie");
        std::filesystem::create_directory(sortie);
    }
    DossierTemporaire dossier;
    std::string journal, sortie;
};

// Vrai si le texte ne contient aucun caractère de contrôle autre que la tabulation et la fin
// de ligne (en UTF-8 : ni C0, ni DEL, ni C1).
bool SansControle(const std::string& texte) {
    for (std::size_t i = 0; i < texte.size(); ++i) {
        const auto c = static_cast<unsigned char>(texte[i]);
        if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F)
            return false;
        if (c == 0xC2 && i + 1 < texte.size() && static_cast<unsigned char>(texte[i + 1]) < 0xA0)
            return false;
    }
    return true;
}

TEST_P(TerminalSur, AucunCaractereDeControleDuJournal) {
    const CasTerminal& cas = GetParam();
    std::vector<std::string> args = cas.options;
    if (args.front() != "--sessions") // qui ne prend que le journal
        args.insert(args.end(),
                    {"--debut", "24/12/2001", "--fin", "24/12/2001", "--dossier", sortie});
    args.insert(args.end(), {"-q", journal});
    vek::ContexteExtraire contexte;
    contexte.sortieEstTerminal = cas.terminal;
    contexte.erreurEstTerminal = cas.terminal;
    std::ostringstream out, err;
    vek::ExecuterExtraire(args, out, err, contexte);
    const std::string imprime = cas.surErreur ? err.str() : out.str();
    EXPECT_TRUE(SansControle(out.str())) << out.str();
    EXPECT_TRUE(SansControle(err.str())) << err.str();
    EXPECT_NE(imprime.find(std::string("A") + cas.attendu + "]0;PWNED"), std::string::npos)
        << imprime;
}

INSTANTIATE_TEST_SUITE_P(
    Extraire, TerminalSur,
    ::testing::Values(
        CasTerminal{"catalogue_vers_un_terminal", {"--catalogue"}, false, true, "␛"},
        CasTerminal{"catalogue_dans_un_tube", {"--catalogue"}, false, false, "\\x1B"},
        CasTerminal{"sessions_vers_un_terminal", {"--sessions"}, false, true, "␛"},
        CasTerminal{"sessions_dans_un_tube", {"--sessions"}, false, false, "\\x1B"},
        CasTerminal{"suggestions_vers_un_terminal", {"--nom", "A]0;PWNED"}, true, true, "␛"},
        CasTerminal{"suggestions_dans_un_tube", {"--nom", "A]0;PWNED"}, true, false, "\\x1B"}),
    [](const auto& essai) { return std::string(essai.param.nom); });

// Chaque sorte de caractère : ce qu'il devient vers un terminal et dans un tube.
TEST(TexteAffichable, ChaqueControleAUneFormeVisible) {
    struct Cas {
        std::string entree, terminal, tube;
    };
    const std::vector<Cas> cas = {
        {"Aldric", "Aldric", "Aldric"},
        {"A\tB", "A\\tB", "A\\tB"},
        {"A\\B", "A\\\\B", "A\\\\B"},
        {"\x1b[2J", "␛[2J", "\\x1B[2J"},
        {"\x07\x08", "␇␈", "\\x07\\x08"},
        {std::string("\0", 1), "␀", "\\x00"},
        {"\x7f", "␡", "\\x7F"},
        {"\xc2\x9d"
         "0;x",
         "\\x9D0;x", "\\x9D0;x"}, // OSC en C1
        {"Bérengère €", "Bérengère €", "Bérengère €"},
    };
    for (const Cas& c : cas) {
        EXPECT_EQ(vek::TexteAffichable(c.entree, true), c.terminal) << c.entree;
        EXPECT_EQ(vek::TexteAffichable(c.entree, false), c.tube) << c.entree;
    }
}

} // namespace
