#include "ui/text/captions.h"

#include <algorithm>
#include <cstddef>

namespace jumpnest {
namespace {

// Drop-down item captions begin with one blank to keep a gap after the radio
// mark of the Language items; the menu titles and the controls have none.
// The Spanish middle-button caption carries its own line break because it is
// too long for one line of the check box, which is designed two lines tall.
constexpr std::array<CaptionRow, 30> kCaptions = {{
    {"mntFile", -1, {"&File", "&Datei", "&Fichier", "&Archivo"}},
    {"mnuFile", 0, {" Options", " Einstellungen", " Paramètres", " Configuración"}},
    {"mnuFile",
     3,
     {" Exclusions and shortcut...", " Ausnahmen und Tastenkürzel...",
      " Exclusions et raccourci...", " Exclusiones y atajo..."}},
    {"mnuFile",
     2,
     {" Exit program...", " Programm beenden...", " Quitter...", " Salir del programa..."}},
    {"mntEdit", -1, {"&Edit", "&Bearbeiten", "&Éditer", "&Editar"}},
    {"mnuConfig", 0, {" Rename entry", " Umbenennen", " Renommer", " cambiar el nombre de"}},
    {"mnuConfig", 2, {" Entry up", " Eintrag nach oben", " Élément pousser top", " hacer subir"}},
    {"mnuConfig",
     3,
     {" Entry down", " Eintrag nach unten", " Élément pousser vers le bas", " empuje hacia abajo"}},
    {"mnuConfig",
     5,
     {" Remove entry", " Eintrag entfernen", " Élément supprimer", " Quite la entrada"}},
    {"mntLanguage", -1, {"Language", "Sprache", "Langue", "Idioma"}},
    {"mnuLanguage", 0, {" English", " Englisch", " Anglais", " Inglés"}},
    {"mnuLanguage", 1, {" German", " Deutsch", " Allemande", " Alemán"}},
    {"mnuLanguage", 2, {" French", " Französisch", " Français", " Francés"}},
    {"mnuLanguage", 3, {" Spain", " Spanisch", " Espagne", " Español"}},
    {"frmConfig", -1, {"Configuration", "Konfiguration", "Configuration", "Configuración"}},
    {"chkOption",
     0,
     {"Start with &Windows", "Starten mit &Windows", "Démarrer avec &Windows",
      "Se inician con &Windows"}},
    {"chkOption",
     1,
     {"Show in Sys&Tray", "Symbol im &Infobereich anzeigen", "&Icône dans la zone de notification",
      "&Icono en el área de notificación"}},
    {"optOption",
     0,
     {"&Small Menu Icons", "&Kleine Menü Symbole", "Menu &petites icônes",
      "&Pequeños iconos de menú"}},
    {"optOption",
     1,
     {"&Large Menu Icons", "&Große Menü Symbole", "Menu &grande icônes",
      "&Grandes iconos de menú"}},
    {"chkOption",
     2,
     {"Middle mouse button opens Explorer", "Mittlere Maustaste öffnet Explorer",
      "Central de la souris ouvrir l'Explorateur",
      "Botón central del ratón\rpara abrir el Explorador de"}},
    {"cmdButton", 0, {"&Apply", "&Speichern", "&Enregistrer", "&Acumular"}},
    {"cmdButton", 1, {"&Cancel", "&Abbruch", "&Annuler", "&Cancelar"}},
    // Never drawn (the buttons show pictures, the list its rows): the names
    // a screen reader says.
    {"cmdButton", 2, {"Move up", "Nach oben", "Monter", "Subir"}},
    {"cmdButton", 3, {"Move down", "Nach unten", "Descendre", "Bajar"}},
    {"lvwMenu", -1, {"Menu entries", "Menüeinträge", "Entrées du menu", "Entradas del menú"}},
    // The list's label, not drawn: its access key takes the focus to the list.
    {"lblEntries",
     -1,
     {"&Menu entries", "&Menüeinträge", "Entrées du &menu", "Entradas del &menú"}},
    {"mnuConfig",
     6,
     {" Add entry...", " Eintrag hinzufügen...", " Ajouter un élément...", " Añadir entrada..."}},
    {"mnuFile",
     4,
     {" Keep everything beside the program", " Alles neben dem Programm speichern",
      " Tout garder à côté du programme", " Guardar todo junto al programa"}},
    {"mnuConfig",
     8,
     {" Program lists...", " Programmlisten...", " Listes par programme...",
      " Listas por programa..."}},
    {"lblURL",
     1,
     {"Jumpnest help page", "Jumpnest-Hilfeseite", "Page d'aide de Jumpnest",
      "Página de ayuda de Jumpnest"}},
}};

// Continuation lines start with five blanks so they line up under the text
// after the "1. " numbering. The description label treats "&" as an access-key
// mark, hence the doubled one in "Drag&&Drop".
constexpr std::array<std::string_view, 9> kEnglishHelp = {
    "1. Drag and Drop files to the list view, to",
    "     add new menu entries.",
    "     Modify entries with the 'Edit' menu.",
    "",
    "2. Press [Apply] to save your changes.",
    "",
    "3. To open Jumpnest menu hold down",
    "     left [Control] key and click right mouse",
    "     button!",
};

constexpr std::array<std::string_view, 9> kGermanHelp = {
    "1. Ziehen Sie Dateien per Drag&&Drop in die",
    "     Liste, um neue Einträge zu erstellen.",
    "",
    "2. Zum Übernehmen der Einstellungen auf",
    "     [Speichern] klicken.",
    "",
    "3. Öffnen Sie das Jumpnest Menü, indem Sie",
    "     die linke [Strg]-Taste festhalten und mit",
    "     der Maus rechts klicken!",
};

constexpr std::array<std::string_view, 10> kFrenchHelp = {
    "1. Faites glisser et déposer des fichiers",
    "     à la vue de liste, d'ajouter des entrées",
    "     nouveau menu.",
    "",
    "2. Pour appliquer les paramètres,",
    "     cliquez sur [Enregistrer].",
    "",
    "3. Pour ouvrir le menu Jumpnest maintenez",
    "     la touche gauche [Ctrl] enfoncée et",
    "     cliquez sur le bouton droit de la souris!",
};

constexpr std::array<std::string_view, 10> kSpanishHelp = {
    "1. Arrastrar y soltar archivos a la lista",
    "     para agregar nuevas entradas de menú.",
    "",
    "2. Para aceptar la configuración y haga",
    "     clic en la [Acumular].",
    "",
    "3. Para abrir el menú Jumpnest mantenga",
    "     presionada la tecla izquierda [control] y",
    "     haga clic en el botón derecho del",
    "     ratóndie!",
};

constexpr std::array<std::string_view, kLanguageCount> kQuitQuestion = {
    "Do you want to quit 'kqrJumpnest'?",
    "Soll 'kqrJumpnest' endgültig beendet werden?",
    "Devrait être mis fin 'kqrJumpnest' final?",
    "Debe darse por concluida 'kqrJumpnest' final?",
};

constexpr std::array<CaptionRow, 10> kExclusionsCaptions = {{
    {"",
     -1,
     {"Exclusions and shortcut", "Ausnahmen und Tastenkürzel", "Exclusions et raccourci",
      "Exclusiones y atajo"}},
    {"lblPrograms",
     -1,
     {"&Programs the gesture leaves alone:", "&Programme, die die Geste in Ruhe lässt:",
      "&Programmes que le geste ignore :", "&Programas que el gesto deja en paz:"}},
    {"cmdProgram", 0, {"&Add...", "&Hinzufügen...", "&Ajouter...", "&Añadir..."}},
    {"cmdProgram", 1, {"&Remove", "&Entfernen", "&Retirer", "&Quitar"}},
    {"chkFullScreen",
     -1,
     {"Not over &full-screen programs", "Nicht über &Vollbildprogrammen",
      "Pas &sur les programmes en plein écran", "No sobre programas a pantalla &completa"}},
    {"lblHotkey",
     -1,
     {"&Keyboard shortcut to open the menu:", "&Tastenkürzel, das das Menü öffnet:",
      "Raccourci cla&vier qui ouvre le menu :", "A&tajo de teclado que abre el menú:"}},
    {"cmdOK", -1, {"OK", "OK", "OK", "Aceptar"}},
    {"cmdCancel", -1, {"Cancel", "Abbrechen", "Annuler", "Cancelar"}},
    {"chkLogonTask",
     -1,
     {"&Start as administrator at sign-in", "Bei der Anmeldung als &Administrator starten",
      "&Démarrer en administrateur à l'ouverture de session",
      "Iniciar como administrador al iniciar &sesión"}},
    // Shown while the program lies where the user's own programs could replace it.
    {"lblLogonTask",
     -1,
     {"To offer this, move Jumpnest to a folder only administrators can change, such as "
      "C:\\Program Files\\Jumpnest: started with full rights from a folder you can change, "
      "it could be replaced by any program of yours.",
      "Dazu verschieben Sie Jumpnest zuerst in einen Ordner, den nur Administratoren ändern "
      "können, etwa C:\\Program Files\\Jumpnest: mit vollen Rechten aus einem Ordner "
      "gestartet, den Sie ändern können, könnte jedes Ihrer Programme es ersetzen.",
      "Pour cela, déplacez d'abord Jumpnest dans un dossier que seuls les administrateurs "
      "peuvent modifier, comme C:\\Program Files\\Jumpnest : lancé avec tous les droits "
      "depuis un dossier que vous pouvez modifier, n'importe quel programme à vous pourrait le "
      "remplacer.",
      "Para ello, mueva antes Jumpnest a una carpeta que solo los administradores pueden "
      "cambiar, como C:\\Program Files\\Jumpnest: iniciado con todos los derechos desde una "
      "carpeta que usted puede cambiar, cualquier programa suyo podría reemplazarlo."}},
}};

// The logon task could not be switched; the system's reason follows.
constexpr std::array<std::string_view, kLanguageCount> kLogonTaskNotOn = {
    "Starting as administrator at sign-in could not be switched on.\n\n%REASON%",
    "Der Start als Administrator bei der Anmeldung ließ sich nicht einschalten.\n\n%REASON%",
    "Le démarrage en administrateur à l'ouverture de session n'a pas pu être activé."
    "\n\n%REASON%",
    "No se pudo activar el inicio como administrador al iniciar sesión.\n\n%REASON%",
};
constexpr std::array<std::string_view, kLanguageCount> kLogonTaskNotOff = {
    "Starting as administrator at sign-in could not be switched off.\n\n%REASON%",
    "Der Start als Administrator bei der Anmeldung ließ sich nicht ausschalten.\n\n%REASON%",
    "Le démarrage en administrateur à l'ouverture de session n'a pas pu être désactivé."
    "\n\n%REASON%",
    "No se pudo desactivar el inicio como administrador al iniciar sesión.\n\n%REASON%",
};

constexpr std::array<std::string_view, kLanguageCount> kHotkeyTaken = {
    "Another program already uses this shortcut. Please choose another one.",
    "Ein anderes Programm verwendet dieses Tastenkürzel schon. Bitte wählen Sie ein anderes.",
    "Un autre programme utilise déjà ce raccourci. Veuillez en choisir un autre.",
    "Otro programa ya usa este atajo. Elija otro, por favor.",
};

constexpr std::array<std::string_view, kLanguageCount> kEntryAway = {
    "Not found: the file is missing, or its drive or network share is not connected. "
    "The entry is kept and comes back to the menu once the file is there.",
    "Nicht gefunden: Die Datei fehlt, oder ihr Laufwerk oder ihre Netzwerkfreigabe ist nicht "
    "verbunden. Der Eintrag bleibt erhalten und erscheint wieder im Menü, sobald die Datei da ist.",
    "Introuvable : le fichier manque, ou son lecteur ou son partage réseau n'est pas connecté. "
    "L'entrée est conservée et revient dans le menu dès que le fichier est là.",
    "No encontrado: falta el archivo, o su unidad o recurso de red no está conectado. "
    "La entrada se conserva y vuelve al menú en cuanto el archivo esté disponible.",
};

constexpr std::array<std::string_view, kLanguageCount> kHotkeyNeedsCtrlOrAlt = {
    "A shortcut needs Ctrl or Alt: a key without them would be taken from every program. "
    "Please choose another one.",
    "Ein Tastenkürzel braucht Strg oder Alt: eine Taste ohne sie würde allen Programmen "
    "genommen. Bitte wählen Sie ein anderes.",
    "Un raccourci doit contenir Ctrl ou Alt : une touche sans eux serait prise à tous les "
    "programmes. Veuillez en choisir un autre.",
    "Un atajo necesita Ctrl o Alt: una tecla sin ellos se quitaría a todos los programas. "
    "Elija otro, por favor.",
};

constexpr std::array<std::string_view, kLanguageCount> kHotkeyLost = {
    "Another program already uses this shortcut, and the one before could not be taken back: "
    "no shortcut opens the menu now.",
    "Ein anderes Programm verwendet dieses Tastenkürzel schon, und das bisherige ließ sich "
    "nicht zurückholen: jetzt öffnet kein Tastenkürzel das Menü.",
    "Un autre programme utilise déjà ce raccourci, et le précédent n'a pas pu être repris : "
    "aucun raccourci n'ouvre le menu maintenant.",
    "Otro programa ya usa este atajo y el anterior no se pudo recuperar: ahora ningún atajo "
    "abre el menú.",
};

constexpr std::array<std::string_view, kLanguageCount> kNoMatch = {
    "No match",
    "Kein Treffer",
    "Aucun résultat",
    "Sin resultados",
};

// Apply could not write a file: the window stays open with the edits.
constexpr std::array<std::string_view, kLanguageCount> kWriteFailed = {
    "Jumpnest could not write\n%FILE%\n\n%REASON%\nYour changes are still in the window.",
    "Jumpnest konnte nicht schreiben:\n%FILE%\n\n%REASON%\nIhre Änderungen sind noch im "
    "Fenster.",
    "Jumpnest n'a pas pu écrire\n%FILE%\n\n%REASON%\nVos modifications sont toujours dans "
    "la fenêtre.",
    "Jumpnest no pudo escribir\n%FILE%\n\n%REASON%\nSus cambios siguen en la ventana.",
};

constexpr std::array<std::string_view, kLanguageCount> kFileOfAnotherUser = {
    "The file belongs to another user.",
    "Die Datei gehört einem anderen Benutzer.",
    "Le fichier appartient à un autre utilisateur.",
    "El archivo pertenece a otro usuario.",
};

constexpr std::array<std::string_view, kLanguageCount> kUnsafeEntryFile = {
    "The file is linked to another place or other users may change it.",
    "Die Datei ist mit einem anderen Ort verknüpft, oder andere Benutzer können sie ändern.",
    "Le fichier est lié à un autre emplacement ou d'autres utilisateurs peuvent le modifier.",
    "El archivo está vinculado a otro lugar o otros usuarios pueden modificarlo.",
};

// Every `key` in `text` replaced by `value`; a value that contains the key
// is not searched again.
std::string Replaced(std::string text, std::string_view key, std::string_view value) {
    for (size_t at = text.find(key); at != std::string::npos;
         at = text.find(key, at + value.size())) {
        text.replace(at, key.size(), value);
    }
    return text;
}

// `text` with its place filled in, and its reason after it: a file name
// holding "%REASON%" stays as it is.
std::string Filled(std::string_view text, std::string_view file, std::string_view reason) {
    const size_t reasonAt = std::min(text.find("%REASON%"), text.size());
    std::string head = Replaced(std::string(text.substr(0, reasonAt)), "%FILE%", file);
    return head + Replaced(std::string(text.substr(reasonAt)), "%REASON%", reason);
}

// The dialog of Edit > Program lists. Access keys differ within each language.
constexpr std::array<CaptionRow, 8> kProgramListsCaptions = {{
    {"", -1, {"Program lists", "Programmlisten", "Listes par programme", "Listas por programa"}},
    {"lblLists",
     -1,
     {"&Programs with a list of their own:", "&Programme mit eigener Liste:",
      "&Programmes ayant leur propre liste :", "&Programas con lista propia:"}},
    // Never drawn: the name a screen reader says for the list.
    {"lvwLists",
     -1,
     {"Programs with a list of their own", "Programme mit eigener Liste",
      "Programmes ayant leur propre liste", "Programas con lista propia"}},
    {"cmdList", 0, {"&Add...", "&Hinzufügen...", "&Ajouter...", "&Añadir..."}},
    {"cmdList", 1, {"&Remove", "&Entfernen", "&Retirer", "&Quitar"}},
    {"chkOwnOnly",
     -1,
     {"&Only this program's entries", "&Nur die Einträge dieses Programms",
      "&Seulement les éléments de ce programme", "&Solo las entradas de este programa"}},
    {"cmdEdit", -1, {"&Edit list", "Liste &bearbeiten", "&Modifier la liste", "&Editar lista"}},
    {"cmdClose", -1, {"Close", "Schließen", "Fermer", "Cerrar"}},
}};

constexpr std::array<std::string_view, kLanguageCount> kMovedBesideProgram = {
    "Jumpnest now keeps its settings in %FILE% and its lists beside it. Copy the whole folder "
    "to take them to another computer.",
    "Jumpnest speichert seine Einstellungen jetzt in %FILE% und seine Listen daneben. Kopieren "
    "Sie den ganzen Ordner, um sie auf einen anderen Computer mitzunehmen.",
    "Jumpnest garde désormais ses paramètres dans %FILE% et ses listes à côté. Copiez tout le "
    "dossier pour les emporter sur un autre ordinateur.",
    "Jumpnest guarda ahora su configuración en %FILE% y sus listas junto a él. Copie la carpeta "
    "entera para llevarlas a otro equipo.",
};

constexpr std::array<std::string_view, kLanguageCount> kMoveBesideProgramFailed = {
    "Jumpnest could not keep everything beside the program: %FILE% could not be written."
    "\n\n%REASON%\n\nNothing was changed; the settings stay where they were.",
    "Jumpnest konnte nicht alles neben dem Programm speichern: %FILE% konnte nicht geschrieben "
    "werden.\n\n%REASON%\n\nNichts wurde geändert; die Einstellungen bleiben, wo sie waren.",
    "Jumpnest n'a pas pu tout garder à côté du programme : %FILE% n'a pas pu être écrit."
    "\n\n%REASON%\n\nRien n'a été changé ; les paramètres restent où ils étaient.",
    "Jumpnest no pudo guardar todo junto al programa: no se pudo escribir %FILE%."
    "\n\n%REASON%\n\nNo se cambió nada; la configuración sigue donde estaba.",
};

}  // namespace

std::span<const CaptionRow> ProgramListsCaptionTable() {
    return kProgramListsCaptions;
}

std::string MovedBesideProgramMessage(std::int32_t language, std::string_view file) {
    return Replaced(
        std::string(kMovedBesideProgram[static_cast<std::size_t>(LanguageColumn(language))]),
        "%FILE%", file);
}

std::string MoveBesideProgramFailedMessage(std::int32_t language, std::string_view place,
                                           std::string_view reason) {
    return Filled(kMoveBesideProgramFailed[static_cast<std::size_t>(LanguageColumn(language))],
                  place, reason);
}

int LanguageColumn(std::int32_t language) {
    switch (language) {
    case kGerman:
    case kFrench:
    case kSpanish:
        return language;
    default:
        return kEnglish;
    }
}

std::span<const CaptionRow> CaptionTable() {
    return kCaptions;
}

std::string_view CaptionOf(std::string_view control, int index, std::int32_t language) {
    for (const CaptionRow& row : kCaptions) {
        if (row.control == control && row.index == index) {
            return row.text[static_cast<std::size_t>(LanguageColumn(language))];
        }
    }
    return {};
}

std::span<const std::string_view> HelpLines(std::int32_t language) {
    switch (LanguageColumn(language)) {
    case kGerman:
        return kGermanHelp;
    case kFrench:
        return kFrenchHelp;
    case kSpanish:
        return kSpanishHelp;
    default:
        return kEnglishHelp;
    }
}

// Lines are separated by a lone carriage return, never CR LF: the label
// breaks at it, and a trailing one would add an empty last line.
std::string HelpText(std::int32_t language) {
    std::string text;
    bool first = true;
    for (std::string_view line : HelpLines(language)) {
        if (!first) text += '\r';
        text += line;
        first = false;
    }
    return text;
}

std::string_view QuitQuestion(std::int32_t language) {
    return kQuitQuestion[static_cast<std::size_t>(LanguageColumn(language))];
}

std::span<const CaptionRow> ExclusionsCaptionTable() {
    return kExclusionsCaptions;
}

std::string_view HotkeyTakenMessage(std::int32_t language) {
    return kHotkeyTaken[static_cast<std::size_t>(LanguageColumn(language))];
}

std::string_view HotkeyNeedsCtrlOrAltMessage(std::int32_t language) {
    return kHotkeyNeedsCtrlOrAlt[static_cast<std::size_t>(LanguageColumn(language))];
}

std::string_view HotkeyLostMessage(std::int32_t language) {
    return kHotkeyLost[static_cast<std::size_t>(LanguageColumn(language))];
}

std::string_view NoMatchText(std::int32_t language) {
    return kNoMatch[static_cast<std::size_t>(LanguageColumn(language))];
}

std::string_view EntryActionCaption(EntryAction action, std::int32_t language) {
    // The words Explorer uses for the same commands in each language.
    constexpr std::array<std::array<std::string_view, kLanguageCount>, kEntryActionCount> kText = {{
        {"&Open", "Ö&ffnen", "&Ouvrir", "&Abrir"},
        {"Run as &administrator", "Als &Administrator ausführen",
         "Exécuter en tant qu'&administrateur", "Ejecutar como &administrador"},
        {"Open file &location", "&Dateipfad öffnen", "Ouvrir l'emp&lacement du fichier",
         "Abrir la &ubicación del archivo"},
        {"&Copy path", "Als Pfad &kopieren", "&Copier en tant que chemin d'accès",
         "&Copiar como ruta de acceso"},
    }};
    return kText[static_cast<std::size_t>(action)]
                [static_cast<std::size_t>(LanguageColumn(language))];
}

std::string PopupName(std::int32_t language, std::string_view typed, size_t shown, size_t total) {
    constexpr std::array<std::string_view, kLanguageCount> kOf = {"of", "von", "sur", "de"};
    std::string name = "Jumpnest menu";
    if (typed.empty()) return name;
    name.append(", ").append(typed).append(": ");
    if (shown == 0) return name.append(NoMatchText(language));
    return name.append(std::to_string(shown) + " " +
                       std::string(kOf[static_cast<std::size_t>(LanguageColumn(language))]) + " " +
                       std::to_string(total));
}

std::string_view EntryAwayText(std::int32_t language) {
    return kEntryAway[static_cast<std::size_t>(LanguageColumn(language))];
}

std::string_view CommonListHeading(std::int32_t language) {
    constexpr std::array<std::string_view, kLanguageCount> kText = {
        "All programs", "Alle Programme", "Tous les programmes", "Todos los programas"};
    return kText[static_cast<std::size_t>(LanguageColumn(language))];
}

std::string RowInSection(std::int32_t language, std::string_view caption,
                         std::string_view heading) {
    // "Letters, in notepad.exe": the heading after the caption, so that the
    // caption is heard first, as in a popup without headings.
    constexpr std::array<std::string_view, kLanguageCount> kIn = {", in ", ", in ", ", dans ",
                                                                  ", en "};
    return std::string(caption)
        .append(kIn[static_cast<std::size_t>(LanguageColumn(language))])
        .append(heading);
}

std::string PortableSettingsBrokenMessage(std::int32_t language, std::string_view file) {
    constexpr std::array<std::string_view, kLanguageCount> kText = {
        "The settings file\n%1\ncould not be read. Jumpnest uses its default settings and "
        "leaves the file as it is: mend it, or delete it to start afresh.",
        "Die Einstellungsdatei\n%1\nkonnte nicht gelesen werden. Jumpnest verwendet seine "
        "Standardeinstellungen und lässt die Datei unverändert: Reparieren Sie sie, oder löschen "
        "Sie sie, um neu zu beginnen.",
        "Le fichier de paramètres\n%1\nn'a pas pu être lu. Jumpnest utilise ses paramètres par "
        "défaut et laisse le fichier tel quel : corrigez-le, ou supprimez-le pour repartir de "
        "zéro.",
        "No se pudo leer el archivo de configuración\n%1\nJumpnest usa su configuración "
        "predeterminada y deja el archivo como está: corríjalo, o elimínelo para empezar de "
        "nuevo."};
    std::string text(kText[static_cast<std::size_t>(LanguageColumn(language))]);
    text.replace(text.find("%1"), 2, file);
    return text;
}

std::string_view HelpPageName(std::int32_t language) {
    constexpr std::array<std::string_view, kLanguageCount> kPages = {
        "jumpnest-help-en.html", "jumpnest-help-de.html", "jumpnest-help-fr.html",
        "jumpnest-help-es.html"};
    return kPages[static_cast<std::size_t>(LanguageColumn(language))];
}

std::string WriteFailedMessage(std::int32_t language, std::string_view file,
                               std::string_view reason) {
    return Filled(kWriteFailed[static_cast<std::size_t>(LanguageColumn(language))], file, reason);
}

std::string_view FileOfAnotherUserReason(std::int32_t language) {
    return kFileOfAnotherUser[static_cast<std::size_t>(LanguageColumn(language))];
}

std::string_view UnsafeEntryFileReason(std::int32_t language) {
    return kUnsafeEntryFile[static_cast<std::size_t>(LanguageColumn(language))];
}

// A shortcut that types a character on one of the user's keyboard layouts.
// Short enough for the two lines the dialog has under the shortcut.
constexpr std::array<std::string_view, kLanguageCount> kHotkeyTypesCharacter = {
    "With the keyboard layout \"%LAYOUT%\" this shortcut types %CHAR%: no program would get "
    "it any more.",
    "Mit dem Tastaturlayout „%LAYOUT%“ tippt dieses Tastenkürzel %CHAR%: kein Programm "
    "bekäme es mehr.",
    "Avec la disposition de clavier « %LAYOUT% », ce raccourci tape %CHAR% : plus aucun "
    "programme ne le recevrait.",
    "Con la distribución de teclado «%LAYOUT%», este atajo escribe %CHAR%: ningún programa lo "
    "recibiría ya.",
};

std::string HotkeyTypesCharacterMessage(std::int32_t language, std::string_view character,
                                        std::string_view layout) {
    // The layout's name goes in before the character in every language, so
    // that a name holding "%CHAR%" stays as it is.
    const std::string text(
        kHotkeyTypesCharacter[static_cast<std::size_t>(LanguageColumn(language))]);
    const size_t characterAt = std::min(text.find("%CHAR%"), text.size());
    return Replaced(text.substr(0, characterAt), "%LAYOUT%", layout) +
           Replaced(text.substr(characterAt), "%CHAR%", character);
}

namespace {

// Apply could not store the options: the window stays open with them.
constexpr std::array<std::string_view, kLanguageCount> kOptionsNotStored = {
    "Jumpnest could not store the options in\n%FILE%\n\n%REASON%\nYour changes are still in "
    "the window.",
    "Jumpnest konnte die Optionen nicht speichern in\n%FILE%\n\n%REASON%\nIhre Änderungen "
    "sind noch im Fenster.",
    "Jumpnest n'a pas pu enregistrer les options dans\n%FILE%\n\n%REASON%\nVos "
    "modifications sont toujours dans la fenêtre.",
    "Jumpnest no pudo guardar las opciones en\n%FILE%\n\n%REASON%\nSus cambios siguen en "
    "la ventana.",
};

// Apply found the list changed elsewhere and wrote nothing. The buttons are
// not named: they speak the system's language, not the program's.
constexpr std::array<std::string_view, kLanguageCount> kListChangedElsewhere = {
    "The list was changed elsewhere since this window read it, perhaps by Jumpnest running in "
    "another sign-in:\n%FILE%\n\nNothing was saved. Load that list now? Your changes in this "
    "window are then lost; otherwise they stay in the window.",
    "Die Liste wurde anderswo geändert, seit dieses Fenster sie gelesen hat, vielleicht von "
    "Jumpnest in einer anderen Anmeldung:\n%FILE%\n\nEs wurde nichts gespeichert. Diese Liste "
    "jetzt laden? Ihre Änderungen in diesem Fenster gehen dann verloren; sonst bleiben sie im "
    "Fenster.",
    "La liste a été modifiée ailleurs depuis que cette fenêtre l'a lue, peut-être par Jumpnest "
    "dans une autre session :\n%FILE%\n\nRien n'a été enregistré. Charger cette liste "
    "maintenant ? Vos modifications dans cette fenêtre sont alors perdues ; sinon elles restent "
    "dans la fenêtre.",
    "La lista se ha cambiado en otro lugar desde que esta ventana la leyó, quizá por Jumpnest en "
    "otra sesión:\n%FILE%\n\nNo se ha guardado nada. ¿Cargar esa lista ahora? Sus cambios en "
    "esta ventana se pierden entonces; si no, se quedan en la ventana.",
};

}  // namespace

std::string OptionsNotStoredMessage(std::int32_t language, std::string_view place,
                                    std::string_view reason) {
    return Filled(kOptionsNotStored[static_cast<std::size_t>(LanguageColumn(language))], place,
                  reason);
}

std::string ListChangedElsewhereQuestion(std::int32_t language, std::string_view file) {
    return Filled(kListChangedElsewhere[static_cast<std::size_t>(LanguageColumn(language))], file,
                  "");
}

// --- The command line ---

namespace {

using LanguageTexts = std::array<std::string_view, kLanguageCount>;

std::string_view In(const LanguageTexts& texts, std::int32_t language) {
    return texts[static_cast<std::size_t>(LanguageColumn(language))];
}

constexpr LanguageTexts kCommandLineUsage = {
    "Jumpnest does not know this command line. It knows:\n\n"
    "kqrJumpnest.exe /exit\n    ends Jumpnest running for this sign-in\n"
    "kqrJumpnest.exe /uninstall\n    ends it, then removes its Startup shortcut, its task at "
    "sign-in, your list and your settings\n"
    "kqrJumpnest.exe /uninstall /quiet\n    the same without question or message\n\n"
    "Switches may start with / or -.",
    "Jumpnest kennt diese Befehlszeile nicht. Es kennt:\n\n"
    "kqrJumpnest.exe /exit\n    beendet das für diese Anmeldung laufende Jumpnest\n"
    "kqrJumpnest.exe /uninstall\n    beendet es und entfernt dann seine Autostart-Verknüpfung, "
    "seine Aufgabe bei der Anmeldung, Ihre Liste und Ihre Einstellungen\n"
    "kqrJumpnest.exe /uninstall /quiet\n    dasselbe ohne Frage und Meldung\n\n"
    "Schalter dürfen mit / oder - beginnen.",
    "Jumpnest ne connaît pas cette ligne de commande. Il connaît :\n\n"
    "kqrJumpnest.exe /exit\n    ferme Jumpnest en cours d'exécution pour cette session\n"
    "kqrJumpnest.exe /uninstall\n    le ferme, puis supprime son raccourci de démarrage, sa "
    "tâche à l'ouverture de session, votre liste et vos paramètres\n"
    "kqrJumpnest.exe /uninstall /quiet\n    la même chose sans question ni message\n\n"
    "Les options peuvent commencer par / ou -.",
    "Jumpnest no conoce esta línea de comandos. Conoce:\n\n"
    "kqrJumpnest.exe /exit\n    cierra Jumpnest en ejecución para esta sesión\n"
    "kqrJumpnest.exe /uninstall\n    lo cierra y luego quita su acceso directo de inicio, su "
    "tarea al iniciar sesión, su lista y su configuración\n"
    "kqrJumpnest.exe /uninstall /quiet\n    lo mismo sin pregunta ni mensaje\n\n"
    "Los modificadores pueden empezar por / o -.",
};

constexpr LanguageTexts kEndFailed = {
    "Jumpnest, running for this sign-in, could not be ended.",
    "Das für diese Anmeldung laufende Jumpnest konnte nicht beendet werden.",
    "Jumpnest, en cours d'exécution pour cette session, n'a pas pu être fermé.",
    "No se pudo cerrar Jumpnest, que se ejecuta en esta sesión.",
};

constexpr LanguageTexts kNotAsked = {
    "It could not be asked to end. If it runs as administrator, run this command as "
    "administrator.",
    "Es konnte nicht zum Beenden aufgefordert werden. Läuft es als Administrator, führen Sie "
    "diesen Befehl als Administrator aus.",
    "Il n'a pas pu être invité à se fermer. S'il s'exécute en administrateur, exécutez cette "
    "commande en administrateur.",
    "No se le pudo pedir que se cerrara. Si se ejecuta como administrador, ejecute este comando "
    "como administrador.",
};

constexpr LanguageTexts kTimedOut = {
    "It did not end within %SECONDS% seconds.",
    "Es hat sich nicht innerhalb von %SECONDS% Sekunden beendet.",
    "Il ne s'est pas fermé en %SECONDS% secondes.",
    "No se cerró en %SECONDS% segundos.",
};

constexpr LanguageTexts kNothingRemoved = {
    "Nothing was removed.",
    "Es wurde nichts entfernt.",
    "Rien n'a été supprimé.",
    "No se ha quitado nada.",
};

constexpr LanguageTexts kUninstallQuestion = {
    "Remove Jumpnest for this user?\n\nThis ends Jumpnest if it is running and removes its "
    "Startup shortcut, its task at sign-in, your list of entries and your settings. Other "
    "users' lists stay, and so does the program file itself.",
    "Jumpnest für diesen Benutzer entfernen?\n\nDas beendet Jumpnest, falls es läuft, und "
    "entfernt seine Autostart-Verknüpfung, seine Aufgabe bei der Anmeldung, Ihre Liste der "
    "Einträge und Ihre Einstellungen. Die Listen anderer Benutzer bleiben, ebenso die "
    "Programmdatei selbst.",
    "Supprimer Jumpnest pour cet utilisateur ?\n\nCela ferme Jumpnest s'il est en cours "
    "d'exécution et supprime son raccourci de démarrage, sa tâche à l'ouverture de session, "
    "votre liste d'éléments et vos paramètres. Les listes des autres utilisateurs restent, "
    "ainsi que le fichier du programme lui-même.",
    "¿Quitar Jumpnest para este usuario?\n\nEsto cierra Jumpnest si se está ejecutando y quita "
    "su acceso directo de inicio, su tarea al iniciar sesión, su lista de entradas y su "
    "configuración. Las listas de otros usuarios se quedan, y también el propio archivo del "
    "programa.",
};

constexpr std::array<LanguageTexts, 5> kUninstallItems = {{
    {"Startup shortcut", "Autostart-Verknüpfung", "Raccourci de démarrage",
     "Acceso directo de inicio"},
    {"Task at sign-in", "Aufgabe bei der Anmeldung", "Tâche à l'ouverture de session",
     "Tarea al iniciar sesión"},
    {"File", "Datei", "Fichier", "Archivo"},
    {"Folder", "Ordner", "Dossier", "Carpeta"},
    {"Settings", "Einstellungen", "Paramètres", "Configuración"},
}};

constexpr LanguageTexts kRemoved = {
    "Removed for this user:",
    "Für diesen Benutzer entfernt:",
    "Supprimé pour cet utilisateur :",
    "Quitado para este usuario:",
};

constexpr LanguageTexts kNotRemoved = {
    "Could not be removed:",
    "Konnte nicht entfernt werden:",
    "N'a pas pu être supprimé :",
    "No se pudo quitar:",
};

constexpr LanguageTexts kNothingToRemove = {
    "Jumpnest had nothing to remove for this user.",
    "Für diesen Benutzer gab es von Jumpnest nichts zu entfernen.",
    "Jumpnest n'avait rien à supprimer pour cet utilisateur.",
    "Jumpnest no tenía nada que quitar para este usuario.",
};

}  // namespace

std::string_view CommandLineUsage(std::int32_t language) {
    return In(kCommandLineUsage, language);
}

std::string EndFailedMessage(std::int32_t language, EndFailure failure, int seconds,
                             bool uninstalling) {
    std::string text(In(kEndFailed, language));
    text.append("\n\n").append(
        failure == EndFailure::kNotAsked
            ? std::string(In(kNotAsked, language))
            : Replaced(std::string(In(kTimedOut, language)), "%SECONDS%", std::to_string(seconds)));
    if (uninstalling) text.append("\n\n").append(In(kNothingRemoved, language));
    return text;
}

std::string_view UninstallQuestion(std::int32_t language) {
    return In(kUninstallQuestion, language);
}

std::string UninstallReport(std::int32_t language, std::span<const UninstallStep> steps) {
    std::string removed, failed;
    for (const UninstallStep& step : steps) {
        std::string& list = step.failure.empty() ? removed : failed;
        list.append("\n    ")
            .append(In(kUninstallItems[static_cast<std::size_t>(step.item)], language))
            .append(": ")
            .append(step.place);
        if (!step.failure.empty()) list.append("\n        ").append(step.failure);
    }
    std::string text;
    if (!removed.empty()) text.append(In(kRemoved, language)).append(removed);
    if (!failed.empty()) {
        text.append(text.empty() ? "" : "\n\n").append(In(kNotRemoved, language)).append(failed);
    }
    return text.empty() ? std::string(In(kNothingToRemove, language)) : text;
}

std::string LogonTaskNotSwitchedMessage(std::int32_t language, bool on, std::string_view reason) {
    const auto column = static_cast<std::size_t>(LanguageColumn(language));
    return Filled(on ? kLogonTaskNotOn[column] : kLogonTaskNotOff[column], "", reason);
}

}  // namespace jumpnest
