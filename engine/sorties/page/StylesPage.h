#pragma once
// Les styles de la page web, écrits tels quels dans son en-tête (PageWeb.cpp).

#include <string_view>

namespace vek {

// Le corps est une colonne : l'en-tête, puis le bilan (écrit après les entrées),
// puis les entrées. Les messages gardent leurs espaces (pre-wrap) ; l'heure, dans sa colonne,
// est le lien de l'entrée vers elle-même. Jours et séries de 500 entrées ne sont dessinés qu'à
// l'approche de l'écran (content-visibility). Les cases des filtres précèdent les entrées, en
// frères de <main> : une case décochée cache ses entrées par le combinateur « ~ », sans
// « :has() », que le navigateur réévaluerait pour chaque entrée ; les étiquettes, dans le
// bilan, en montrent l'état.
inline constexpr std::string_view StylesPage = R"(:root{color-scheme:light dark}
*{box-sizing:border-box}
html{-webkit-text-size-adjust:100%;text-size-adjust:100%}
body{display:flex;flex-direction:column;margin:0 auto;max-width:62em;padding:1em 1em 2em;background:#fff;color:#1f2328;font:16px/1.5 system-ui,-apple-system,"Segoe UI",Roboto,"Noto Sans","DejaVu Sans",sans-serif}
header{order:0;border-bottom:2px solid #2b3a55;margin-bottom:1em;padding-bottom:.6em}
aside{order:1}main{order:2}footer{order:3}
h1{margin:0 0 .5em;color:#2b3a55;font-size:1.6em;line-height:1.2}
dl{display:grid;grid-template-columns:max-content 1fr;gap:.25em 1em;margin:0}
dt{color:#57606a;font-weight:600}
dd{margin:0}
h2{margin:1.5em 0 .4em;padding:.2em .6em;border-left:4px solid #2b3a55;border-radius:3px;background:#eef1f6;color:#2b3a55;font-size:1.05em}
a{color:#0550ae}
section.j{content-visibility:auto;contain-intrinsic-size:auto 60em}
div.r{content-visibility:auto;contain-intrinsic-size:auto 14000px}
main p{margin:0;padding:.15em .5em .15em 6.1em;text-indent:-5.6em;border-left:3px solid transparent;white-space:pre-wrap;overflow-wrap:anywhere}
main p:nth-of-type(even){background:#f8f9fa}
main p>a.h{display:inline-block;width:8ch;margin-right:1.1em;overflow:hidden;vertical-align:top;white-space:pre;text-indent:0;color:#6e7781;text-decoration:none;font:.85em/1.75 ui-monospace,"DejaVu Sans Mono",Menlo,Consolas,monospace}
main p>a.l{margin-right:.4em;color:#8c959f;text-decoration:none;font-size:.8em}
main p>a.l::before{content:"#"}
main p>a:hover{text-decoration:underline}
main p>a:target{outline:2px solid #bf8700;outline-offset:1px}
main p.s{padding-left:.5em;text-indent:0}
b{padding:0 .4em;border-radius:.35em;background:#57606a;color:#fff;font-size:.85em;font-weight:600;white-space:nowrap}
b.z{background:#57606a}
u{text-decoration:none;font-weight:600}
main p.p{border-left-color:#8c959f}
main p.d{border-left-color:#0969da;background:#eef5ff}
main p.d>u{color:#0550ae}
main p.m{border-left-color:#8250df;background:#f6f0ff;font-style:italic}
main p.a{border-left-color:#bf8700;background:#fff8e5}
main p.a>u,main p.m>u{font-style:normal}
aside{display:grid;gap:.6em;margin-bottom:1em}
aside h2{margin:0 0 .3em}
nav.voisins{display:flex;gap:1.2em;flex-wrap:wrap;font-weight:600}
nav.voisins span{color:#8c959f;font-weight:400}
nav.jours ol{margin:0;padding:0;list-style:none;columns:16em}
nav.jours li{break-inside:avoid}
.compte{color:#57606a;font-size:.85em}
fieldset{margin:0;border:1px solid #d0d7de;border-radius:4px}
legend{color:#57606a;font-weight:600}
label,span.nf{display:inline-block;margin:0 .9em .2em 0;white-space:nowrap}
details summary{cursor:pointer;color:#0550ae}
figure{margin:0}
figcaption{color:#57606a;font-size:.85em}
svg.activite{width:100%;height:9em;color:#2b3a55}
svg.activite rect{fill:currentColor}
svg.activite text{fill:#57606a;font-size:10px}
svg.activite line{stroke:#8c959f;stroke-width:.5}
table{border-collapse:collapse}td{padding:.1em .8em .1em 0}td.n{text-align:right}
footer{margin-top:2em;padding-top:.6em;border-top:1px solid #d0d7de;color:#57606a;font-size:.85em}
input.f{position:absolute;width:1px;height:1px;opacity:0;pointer-events:none}
.filtres label{cursor:pointer}.filtres label::before{content:"\2611\00a0"}
@media (prefers-color-scheme:dark){body{background:#0d1117;color:#e6edf3}h1,h2{color:#c9d1d9}h2{background:#161b22;border-left-color:#58a6ff}header{border-bottom-color:#58a6ff}a,details summary{color:#58a6ff}dt,legend,.compte,figcaption,footer{color:#8b949e}main p:nth-of-type(even){background:#161b22}main p.d{background:#0c2d6b}main p.d>u{color:#79c0ff}main p.m{background:#271a45}main p.a{background:#3a2a06}u[class]{filter:brightness(1.6)}fieldset{border-color:#30363d}svg.activite{color:#58a6ff}svg.activite text{fill:#8b949e}}
@media (max-width:34em){body{padding:.6em;font-size:15px}main p{padding-left:.5em;text-indent:0}dl{grid-template-columns:1fr}dt{margin-top:.3em}}
@media print{:root{color-scheme:light}body{display:block;max-width:none;padding:0;font-size:10pt;background:#fff;color:#000}nav,.filtres{display:none}section.j,div.r{content-visibility:visible}main p:nth-of-type(even){background:none}h2{break-after:avoid}main p{break-inside:avoid}svg.activite{color:#000}*{-webkit-print-color-adjust:exact;print-color-adjust:exact}}
)";

} // namespace vek
