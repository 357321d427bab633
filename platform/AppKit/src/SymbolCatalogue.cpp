#include "AppKit/SymbolCatalogue.hpp"

namespace {
// Line artwork on a 24 by 24 grid.
std::string outline(const std::string& body) {
    return "<svg xmlns='http://www.w3.org/2000/svg' width='24' height='24' viewBox='0 0 24 24' fill='none' "
           "stroke='black' stroke-width='1.6' stroke-linecap='round' stroke-linejoin='round'>" +
           body + "</svg>";
}
// Solid artwork on the same grid.
std::string solid(const std::string& body) {
    return "<svg xmlns='http://www.w3.org/2000/svg' width='24' height='24' viewBox='0 0 24 24' fill='black'>" + body +
           "</svg>";
}

const std::string bud = "<path d='M9 4a4 4 0 0 1 4 4v3a2 2 0 0 1-2 2h-1v7a1.5 1.5 0 0 1-3 0V12a4 4 0 0 1-2-3.5V8a4 4 0 0 1 4-4z'/>";
const std::string budMirrored = "<g transform='translate(24 0) scale(-1 1)'>" + bud + "</g>";
const std::string proBud = "<path d='M10 5a4 4 0 0 1 4 4v1a3 3 0 0 1-3 3v5a1.5 1.5 0 0 1-3 0v-5.5A4 4 0 0 1 6 9a4 4 0 0 1 4-4z'/>";
const std::string proBudMirrored = "<g transform='translate(24 0) scale(-1 1)'>" + proBud + "</g>";
const std::string caseBody = "<rect x='4' y='7' width='16' height='12' rx='4'/><path d='M4 11h16'/>";
const std::string overEar = "<path d='M4 15v-3a8 8 0 0 1 16 0v3'/><rect x='3' y='14' width='4' height='6' rx='1.5'/>"
                            "<rect x='17' y='14' width='4' height='6' rx='1.5'/>";
const std::string hook = "<path d='M8 5c-3 0-4 3-3 6l2 5'/><circle cx='11' cy='9' r='3.5'/><path d='M11 12.5V19'/>";
const std::string letterCircle = "<circle cx='12' cy='12' r='10'/>";

std::vector<SymbolEntry> makeCatalogue() {
    const OperatingSystemVersion v11{11, 0, 0}, v12{12, 0, 0}, v13{13, 0, 0};
    return {
        {"keyboard", v11,
         outline("<rect x='2' y='6' width='20' height='12' rx='2'/><path d='M6 10h1M10 10h1M14 10h1M18 10h0M6 14h12'/>")},
        {"cursorarrow", v11, solid("<path d='M6 3v16l4.5-4.2 3 6.2 2.6-1.2-3-6.1H19z'/>")},
        {"magicmouse", v12, outline("<rect x='7' y='3' width='10' height='18' rx='5'/><path d='M12 3v6'/>")},
        {"rectangle", v11, outline("<rect x='3' y='5' width='18' height='14' rx='2'/>")},
        {"headphones", v11, outline(overEar)},
        {"bolt.fill", v11, solid("<path d='M13 2 5 13h6l-1 9 8-11h-6z'/>")},
        {"dot.radiowaves.right", v11,
         outline("<circle cx='6' cy='12' r='1.5' fill='black'/><path d='M10 8a6 6 0 0 1 0 8M13.5 5a10 10 0 0 1 0 14'/>")},
        {"dot.radiowaves.left.and.right", v11,
         outline("<circle cx='12' cy='12' r='1.5' fill='black'/><path d='M8 8a6 6 0 0 0 0 8M16 8a6 6 0 0 1 0 8'/>")},
        {"l.circle.fill", v11, solid(letterCircle + "<path d='M10 7h2v8h4v2h-6z' fill='white'/>")},
        {"r.circle.fill", v11,
         solid(letterCircle + "<path d='M9 7h4a3 3 0 0 1 .8 5.9L16 17h-2.3l-2-4H11v4H9zm2 2v2h2a1 1 0 0 0 0-2z' fill='white'/>")},
        {"airpods", v11, outline(bud + budMirrored)},
        {"airpod.left", v11, outline(bud)},
        {"airpod.right", v11, outline(budMirrored)},
        {"airpodpro.left", v11, outline(proBud)},
        {"airpodpro.right", v11, outline(proBudMirrored)},
        {"airpodspro", v12, outline(proBud + proBudMirrored)},
        {"airpodsmax", v12, outline("<path d='M5 14v-3a7 7 0 0 1 14 0v3'/><rect x='3' y='13' width='5' height='8' rx='2'/>"
                                    "<rect x='16' y='13' width='5' height='8' rx='2'/>")},
        {"airpods.chargingcase", v12, outline(caseBody)},
        {"airpods.chargingcase.wireless", v12, outline(caseBody + "<path d='M9 3.5a4 4 0 0 1 6 0'/>")},
        {"airpodspro.chargingcase.wireless", v12,
         outline("<rect x='3' y='8' width='18' height='11' rx='4'/><path d='M3 12h18M9 4.5a4 4 0 0 1 6 0'/>")},
        {"beats.headphones", v12, outline(overEar + "<circle cx='12' cy='6' r='1'/>")},
        {"beats.powerbeats", v12, outline(hook)},
        {"beats.powerbeats3", v12, outline(hook + "<path d='M15 17h3'/>")},
        {"beats.powerbeatspro", v12, outline(hook + "<circle cx='11' cy='9' r='1.2'/>")},
        {"beats.powerbeatspro.left", v12, outline(hook)},
        {"beats.powerbeatspro.right", v12, outline("<g transform='translate(24 0) scale(-1 1)'>" + hook + "</g>")},
        {"ipad", v11, outline("<rect x='4' y='2' width='16' height='20' rx='2'/><circle cx='12' cy='19' r='0.5'/>")},
        {"iphone", v11, outline("<rect x='7' y='2' width='10' height='20' rx='2'/><path d='M11 4h2'/>")},
        {"ipod", v11, outline("<rect x='6' y='2' width='12' height='20' rx='2'/><circle cx='12' cy='15' r='3.5'/>")},
        {"applewatch", v11,
         outline("<rect x='6' y='6' width='12' height='12' rx='3'/><path d='M8 6l1-4h6l1 4M8 18l1 4h6l1-4'/>")},
        {"battery.100", v11, outline("<rect x='2' y='7' width='18' height='10' rx='2'/><path d='M22 11v2'/>"
                                     "<rect x='4' y='9' width='14' height='6' fill='black' stroke='none'/>")},
        {"checkmark", v11, outline("<path d='M4 12.5 9.5 18 20 6'/>")},
        {"xmark", v11, outline("<path d='M6 6l12 12M18 6 6 18'/>")},
        {"trash", v11, outline("<path d='M4 6h16M9 6V4h6v2M6 6l1 15h10l1-15'/>")},
        {"gearshape", v11, outline("<circle cx='12' cy='12' r='3'/><circle cx='12' cy='12' r='8' stroke-dasharray='3 2'/>")},
        {"info.circle", v11, outline("<circle cx='12' cy='12' r='10'/><path d='M12 11v6M12 7.5v.5'/>")},
        {"questionmark.circle", v11,
         outline("<circle cx='12' cy='12' r='10'/><path d='M9.5 9a2.5 2.5 0 1 1 3.5 2.3c-.7.3-1 .9-1 1.7M12 17v.5'/>")},
        {"chevron.left", v11, outline("<path d='M15 5 8 12l7 7'/>")},
        {"chevron.right", v11, outline("<path d='M9 5l7 7-7 7'/>")},
        {"plus", v11, outline("<path d='M12 5v14M5 12h14'/>")},
        {"minus", v11, outline("<path d='M5 12h14'/>")},
        {"star.fill", v11, solid("<path d='M12 2l3 6.5 7 .8-5.2 4.8 1.5 7L12 17.6 5.7 21l1.5-7L2 9.3l7-.8z'/>")},
        {"pin", v11, outline("<path d='M9 3h6l-1 6 3 3H7l3-3zM12 12v9'/>")},
        {"pin.fill", v11, solid("<path d='M9 3h6l-1 6 3 3H7l3-3z'/><rect x='11.2' y='12' width='1.6' height='9'/>")},
        {"externaldrive", v11, outline("<rect x='2' y='7' width='20' height='10' rx='2'/><path d='M17 12h1'/>")},
        {"folder", v11, outline("<path d='M3 6h6l2 2h10v11H3z'/>")},
        {"doc", v11, outline("<path d='M6 2h8l4 4v16H6zM14 2v4h4'/>")},
        {"photo", v11, outline("<rect x='3' y='5' width='18' height='14' rx='2'/><path d='M3 16l5-5 4 4 3-3 6 6'/>")},
        {"film", v11, outline("<rect x='3' y='4' width='18' height='16' rx='1'/><path d='M7 4v16M17 4v16'/>")},
        {"music.note", v11, outline("<path d='M9 18V5l10-2v13'/><circle cx='7' cy='18' r='2'/><circle cx='17' cy='16' r='2'/>")},
        {"archivebox", v11, outline("<rect x='3' y='4' width='18' height='5'/><path d='M5 9v11h14V9M10 13h4'/>")},
        {"cpu", v11, outline("<rect x='6' y='6' width='12' height='12' rx='1'/><path d='M9 2v4M15 2v4M9 18v4M15 18v4M2 9h4M2 15h4M18 9h4M18 15h4'/>")},
        {"memorychip", v13, outline("<rect x='3' y='7' width='18' height='10' rx='1'/><path d='M6 17v3M10 17v3M14 17v3M18 17v3'/>")},
        {"wifi", v11, outline("<path d='M2 9a15 15 0 0 1 20 0M5.5 12.5a10 10 0 0 1 13 0M9 16a5 5 0 0 1 6 0'/><circle cx='12' cy='19' r='0.8'/>")},
        {"network", v11, outline("<circle cx='12' cy='12' r='10'/><path d='M2 12h20M12 2a15 15 0 0 1 0 20M12 2a15 15 0 0 0 0 20'/>")},
    };
}
}  // namespace

namespace SymbolCatalogue {
const std::vector<SymbolEntry>& all() {
    static const std::vector<SymbolEntry> catalogue = makeCatalogue();
    return catalogue;
}

const SymbolEntry* find(const std::string& name) {
    for (const auto& entry : all()) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}
}  // namespace SymbolCatalogue
