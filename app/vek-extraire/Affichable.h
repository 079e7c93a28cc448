#pragma once
// Les textes du journal imprimés par vek-extraire : un nom ou un channel peut contenir des
// caractères de contrôle (ESC, BEL, BS, NUL…) qui, tels quels, commanderaient le terminal
// (changer son titre, effacer l'écran, faire croire à une autre sortie).

#include <string>
#include <string_view>

namespace vek {

// Un texte UTF-8 venu du journal, ses caractères de contrôle rendus inoffensifs. La tabulation
// s'écrit « \t » et la barre oblique inverse « \\ », pour que les champs séparés par des
// tabulations se lisent sans ambiguïté. Vers un terminal, les autres contrôles C0 et DEL
// deviennent leur symbole visible (␛, ␇, ␈, ␀, ␡…) ; vers un tube ou un fichier, « \xHH » (le
// code de l'octet). Les contrôles C1 (U+0080 à U+009F), sans symbole, s'écrivent toujours
// « \xHH ».
std::string TexteAffichable(std::string_view utf8, bool terminal);

} // namespace vek
