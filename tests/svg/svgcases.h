// The SVG documents the renderer is compared on against rsvg-convert's rendering. The build
// reads this file too (make_references.cmake): it renders the reference PNGs of every installed
// file and every inline fixture below at zoom 1 and 2.
#pragma once

// Installed icons: Inkscape-drawn icons with linear and radial gradients (href-inherited stops,
// gradientTransform, focal points, objectBoundingBox and userSpaceOnUse units, reflect
// spread), strokes with every cap and join, group and element opacity, transforms; and
// path-only icons full of arcs, relative commands, implicit repeats and even-odd fills.
const char* const kInstalledFiles[] = {
    "/usr/share/pixmaps/emelfm2/add_mark_bottom.svg",
    "/usr/share/pixmaps/emelfm2/bookmark.svg",
    "/usr/share/pixmaps/emelfm2/cl_clear.svg",
    "/usr/share/pixmaps/emelfm2/copyas.svg",
    "/usr/share/pixmaps/emelfm2/delete.svg",
    "/usr/share/pixmaps/emelfm2/key.svg",
    "/usr/share/pixmaps/emelfm2/mirror_horz.svg",
    "/usr/share/pixmaps/emelfm2/mounts.svg",
    "/usr/share/pixmaps/emelfm2/open_with.svg",
    "/usr/share/pixmaps/emelfm2/plugin_clip.svg",
    "/usr/share/pixmaps/emelfm2/plugin_rename.svg",
    "/usr/share/pixmaps/emelfm2/plugin_thumbs.svg",
    "/usr/share/pixmaps/emelfm2/save_selection-32.svg",
    "/usr/share/pixmaps/emelfm2/split-horiz.svg",
    "/usr/share/pixmaps/emelfm2/terminal.svg",
    "/usr/share/pixmaps/emelfm2/trash.svg",
    "/usr/share/pixmaps/emelfm2/user_commands.svg",
    "/usr/share/pixmaps/emelfm2/view.svg",
    "/usr/share/bootstrap-icons/svg/activity.svg",
    "/usr/share/bootstrap-icons/svg/align-top.svg",
    "/usr/share/bootstrap-icons/svg/bullseye.svg",
    "/usr/share/bootstrap-icons/svg/dice-5.svg",
    "/usr/share/bootstrap-icons/svg/fingerprint.svg",
    "/usr/share/bootstrap-icons/svg/gear-fill.svg",
    "/usr/share/bootstrap-icons/svg/ui-radios-grid.svg",
    "/usr/share/bootstrap-icons/svg/vinyl.svg",
};

struct SvgFixture {
  const char* name;
  const char* svg;
};

// Hand-written documents for what the installed icons lack.
const SvgFixture kFixtures[] = {
    {"arcs", R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="64" height="48">
  <path d="M4 24 a10 6 30 0 1 20 0 A10 6 -30 1 0 44 24 a8 8 0 1 1 16 0z" fill="#3a7" stroke="#123" stroke-width="1.5"/>
  <path d="M8 40 a4 4 0 0 0 8 0 4 4 0 0 1 8 0 4 4 0 1 0 8 0 4 4 0 1 1 8 0" fill="none" stroke="crimson" stroke-width="2"/>
  <path d="m50 30 a3 5 0 00 6 6 l2-2-2-2-2 2z" fill="rgb(20%,40%,90%)"/>
</svg>)svg"},
    {"fillrules", R"svg(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 100 50" width="100" height="50">
  <polygon points="25,2 39,46 2,18 48,18 11,46" fill="#e91" fill-rule="evenodd"/>
  <polygon points="75,2 89,46 52,18 98,18 61,46" fill="#19e" fill-rule="nonzero" stroke="#000" stroke-opacity="0.5"/>
  <path d="M40 30h20v15h-20z M45 33v9h10v-9z" fill="purple" style="fill-rule:evenodd"/>
</svg>)svg"},
    {"joins", R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="96" height="64">
  <g fill="none" stroke="#246" stroke-width="6">
    <polyline points="6,20 20,6 34,20" stroke-linejoin="miter"/>
    <polyline points="42,20 56,6 70,20" stroke-linejoin="round" stroke-linecap="round"/>
    <polyline points="76,20 84,6 92,20" stroke-linejoin="bevel" stroke-linecap="square"/>
    <polyline points="6,58 46,50 6,42" stroke-miterlimit="10"/>
    <polyline points="50,58 90,50 50,42" stroke-miterlimit="2"/>
    <line x1="30" y1="34" x2="66" y2="34" stroke-width="3" stroke-linecap="round" stroke="#c33"/>
  </g>
</svg>)svg"},
    {"gradients", R"svg(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" width="96" height="64">
  <defs>
    <linearGradient id="base"><stop offset="0" stop-color="#f00"/><stop offset="50%" stop-color="#ff0" stop-opacity=".6"/><stop offset="1" style="stop-color:#00f"/></linearGradient>
    <linearGradient id="diag" xlink:href="#base" x1="0" y1="0" x2="1" y2="1"/>
    <linearGradient id="user" href="#base" gradientUnits="userSpaceOnUse" x1="50" y1="0" x2="70" y2="0" spreadMethod="reflect" gradientTransform="rotate(30 60 16)"/>
    <radialGradient id="focal" xlink:href="#base" cx="0.5" cy="0.5" r="0.5" fx="0.3" fy="0.3"/>
    <radialGradient id="rep" xlink:href="#base" gradientUnits="userSpaceOnUse" cx="72" cy="48" r="6" spreadMethod="repeat"/>
  </defs>
  <rect x="2" y="2" width="44" height="28" fill="url(#diag)"/>
  <rect x="50" y="2" width="44" height="28" rx="6" fill="url(#user)" stroke="url(#diag)" stroke-width="2"/>
  <circle cx="24" cy="48" r="14" fill="url(#focal)"/>
  <ellipse cx="72" cy="48" rx="22" ry="14" fill="url(#rep)"/>
  <rect x="40" y="40" width="4" height="4" fill="url(#missing) #0a0"/>
</svg>)svg"},
    {"usetransforms", R"svg(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" width="80" height="80" viewBox="0 0 40 20">
  <defs><path id="arrow" d="M0 0 L8 4 L0 8 L2 4 z"/></defs>
  <g fill="teal" stroke="navy" stroke-width="0.5">
    <use xlink:href="#arrow" x="2" y="2"/>
    <use xlink:href="#arrow" transform="rotate(45 16 6)" x="12" y="2" fill="orange"/>
    <use href="#arrow" transform="translate(24,2) skewX(20)"/>
    <use href="#arrow" transform="matrix(1 0.3 -0.2 1 30 6) scale(0.8 1.2)"/>
    <use href="#arrow" transform="translate(4 12) skewY(-15)" style="fill:#c0c; stroke:none"/>
  </g>
  <symbol id="dot" viewBox="0 0 10 10"><circle cx="5" cy="5" r="4" fill="gold" stroke="#000" stroke-width="0.5"/></symbol>
  <use href="#dot" x="28" y="10" width="12" height="8"/>
</svg>)svg"},
    {"opacitycss", R"svg(<?xml version="1.0"?>
<!DOCTYPE svg PUBLIC "-//W3C//DTD SVG 1.1//EN" "http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd">
<!-- group opacity, style sheets, entities and colours -->
<svg xmlns="http://www.w3.org/2000/svg" width='64' height='40'>
  <style><![CDATA[ .a { fill: #1565c0; } rect.b { stroke: not-a-colour; stroke: #333; stroke-width: 2px } #c { fill: rgb(255, 128, 0) } ]]></style>
  <title>A &amp; B &#x3c;test&#62;</title>
  <g opacity="0.5"><rect x="4" y="4" width="24" height="24" fill="red"/><rect x="14" y="12" width="24" height="24" fill="blue"/></g>
  <circle class="a" cx="48" cy="14" r="10" opacity=".7"/>
  <rect class="b" x="40" y="26" width="20" height="10" fill="lightgreen" fill-opacity="0.5"/>
  <circle id="c" cx="8" cy="34" r="4"/>
  <g style="display:none"><rect width="64" height="40"/></g>
  <g color="#808"><path d="M44 2h8v4h-8z" fill="currentColor" visibility="visible"/></g>
</svg>)svg"},
    {"aspect", R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="60" height="30" viewBox="-10 -10 20 20">
  <circle r="9" fill="none" stroke="black" stroke-width="2"/>
  <rect x="-9" y="-2" width="18" height="4" rx="2" ry="1" fill="#5a5"/>
  <path d="M-6-6Q0-12 6-6T6 6C4 8 2 8 0 6S-4 2-6 6" fill="none" stroke="#a33" stroke-width="1"/>
</svg>)svg"},
    {"clipdash", R"svg(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" width="64" height="48">
  <defs>
    <clipPath id="round"><circle cx="16" cy="16" r="13"/></clipPath>
    <clipPath id="bars" transform="translate(34 0)"><rect x="0" y="2" width="28" height="6"/><rect x="0" y="12" width="28" height="6" transform="skewX(-20)"/><use xlink:href="#tri"/></clipPath>
    <clipPath id="box" clipPathUnits="objectBoundingBox"><rect x="0.25" y="0" width="0.5" height="1"/></clipPath>
    <path id="tri" d="M0 20h28l-14 10z"/>
  </defs>
  <g clip-path="url(#round)"><rect x="2" y="2" width="28" height="28" fill="#2a6"/><path d="M2 16h28" stroke="#fff" stroke-width="4"/></g>
  <rect x="30" y="0" width="34" height="32" fill="#c52" style="clip-path:url(#bars)" opacity="0.8"/>
  <ellipse cx="16" cy="40" rx="14" ry="6" fill="#55a" clip-path="url(#box)"/>
  <g fill="none" stroke="#222" stroke-width="2">
    <path d="M34 36h28" stroke-dasharray="4 2"/>
    <path d="M34 41h28" stroke-dasharray="5" stroke-dashoffset="3" stroke-linecap="round"/>
    <rect x="35" y="44" width="26" height="3" stroke-width="1" stroke-dasharray="3,1,1,1"/>
  </g>
</svg>)svg"},
    {"maskcolors", R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="64" height="32">
  <defs>
    <linearGradient id="fade"><stop offset="0" stop-color="white"/><stop offset="1" stop-color="black"/></linearGradient>
    <mask id="m"><rect width="32" height="32" fill="url(#fade)"/><circle cx="16" cy="16" r="5" fill="#000"/></mask>
    <mask id="half" maskContentUnits="objectBoundingBox"><rect width="1" height="0.5" fill="hsl(0, 0%, 60%)"/></mask>
  </defs>
  <rect width="32" height="32" fill="#d22" mask="url(#m)"/>
  <rect x="34" y="2" width="28" height="12" fill="#2a2" style="mask:url(#half)"/>
  <rect x="34" y="18" width="7" height="12" fill="#00f8"/>
  <rect x="41" y="18" width="7" height="12" fill="#ff800080"/>
  <rect x="48" y="18" width="7" height="12" fill="hsl(200, 80%, 40%)"/>
  <rect x="55" y="18" width="7" height="12" fill="hsla(300deg, 100%, 50%, 0.5)"/>
</svg>)svg"},
};
