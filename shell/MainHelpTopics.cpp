// The main window's help topics; see MainHelpTopics.h.
#include "shell/MainHelpTopics.h"

namespace velmoran {

namespace {

const THelpTopic kTopics[] = {
    {"MainForm", 150, "Das Hauptfenster",
     "Oben die Menüs und die Symbolleisten Datei, Modus, Vorlagen und Hilfe, darunter die "
     "Ergebnisseite der aktuellen Berechnung. Die Statuszeile unten erklärt den Befehl unter dem "
     "Mauszeiger. Umschalt+F1 und ein Klick, oder ein Klick mit der rechten Maustaste und „Was ist "
     "das?“, erklären jedes Element."},
    {"WasIstDas", 151, "Was ist das?",
     "Der Eintrag im Menü der rechten Maustaste zeigt die Erklärung des Elements, auf das geklickt "
     "wurde. Mit Umschalt+F1 und einem Klick auf den Eintrag erscheint diese Seite."},
    // Menus.
    {"mnuDatei", 100, "Menü Datei",
     "Befehle für Berechnungsdateien: neu anlegen, öffnen, speichern, importieren und exportieren, "
     "die Vorlagen wählen, drucken und das Programm beenden. Darunter stehen die zuletzt "
     "bearbeiteten Dateien."},
    {"mnuVorlagen", 101, "Menü Vorlagen",
     "Wählt die Vorlage für die Ergebnisseite auf dem Bildschirm (Bildschirmausgabe, *.vst) und "
     "für den Ausdruck (Druckausgabe, *.vpt)."},
    {"mnuBearbeiten", 102, "Menü Bearbeiten",
     "Kopieren des Markierten, der Eingabedialog mit den Auslegungsdaten und der Dialog der "
     "Modellparameter."},
    {"mnuAnsicht", 103, "Menü Ansicht",
     "Schaltet zwischen der Ergebnisübersicht und den Meldungen der Berechnung um."},
    {"mnuEinstellungen", 104, "Menü Einstellungen",
     "Symbolleisten ein- oder ausblenden, den Startdialog beim Programmstart ein- oder ausschalten "
     "und die Verzeichnisse für Berechnungsdaten und Vorlagen festlegen."},
    {"mnuHilfe", 105, "Menü Hilfe",
     "Das Online-Handbuch, die Anleitung zur Hilfe und die Programminformation."},
    {"MRUList", 106, "Zuletzt bearbeitete Dateien",
     "Die bis zu sechs zuletzt bearbeiteten Berechnungen, die neueste oben. Ein Klick öffnet die "
     "Datei; vorher fragt das Programm, ob die geänderte aktuelle Berechnung gespeichert werden "
     "soll."},
    // Commands (menu items and toolbar buttons).
    {"FileNew", 110, "Neu (Strg+N)",
     "Legt eine neue Berechnung mit den Standardwerten an und öffnet den Eingabedialog. Eine "
     "geänderte Berechnung wird vorher zum Speichern angeboten."},
    {"FileOpen", 111, "Öffnen (Strg+O)",
     "Öffnet eine vorhandene Berechnung (*.vda mit der zugehörigen *.vdh) und zeigt ihre "
     "Ergebnisseite."},
    {"FileSave", 112, "Speichern (Strg+S)",
     "Speichert die aktuelle Berechnung unter ihrem Dateinamen. Hat sie noch keinen, fragt das "
     "Programm wie bei „Speichern unter“ nach einem."},
    {"FileSaveAs", 113, "Speichern unter",
     "Speichert die aktuelle Berechnung unter einem neuen Namen; die Berechnung trägt danach diesen "
     "Namen."},
    {"FileImport", 114, "Importieren",
     "Übernimmt Werte aus einer CSV- oder Textdatei (je Zeile Feldname, „;“ und Wert) in die "
     "aktuelle Berechnung."},
    {"FileExport", 115, "Exportieren",
     "Schreibt das Druckergebnis der aktuellen Berechnung als HTML-Datei."},
    {"FileSetScreenTemplate", 116, "Bildschirmvorlage (Strg+B)",
     "Wählt die Vorlage (*.vst), nach der die Ergebnisseite auf dem Bildschirm aufgebaut wird."},
    {"FileSetPrinterTemplate", 117, "Druckvorlage",
     "Wählt die Vorlage (*.vpt), nach der die Ergebnisse gedruckt und exportiert werden."},
    {"FilePrintPreview", 118, "Druckvorschau",
     "Zeigt die Seiten des Ausdrucks der aktuellen Berechnung vor dem Drucken."},
    {"FilePrint", 119, "Drucken",
     "Druckt die Ergebnisse der aktuellen Berechnung mit der gewählten Druckvorlage, auf einen "
     "Drucker oder in eine PDF-Datei. Im Kopf jeder Seite stehen Projekt, Bearbeiter und "
     "Seitenzahl."},
    {"FileExit", 120, "Beenden",
     "Beendet das Programm. Eine geänderte Berechnung wird vorher zum Speichern angeboten."},
    {"EditCopy", 121, "Kopieren (Strg+C)",
     "Kopiert den markierten Teil der Ergebnisseite als Text und als HTML in die Zwischenablage."},
    {"EditMain", 122, "Auslegungsdaten (Eingabedialog)",
     "Öffnet den Eingabedialog der Bemessung mit seinen sechs Seiten. Mit OK wird neu gerechnet und "
     "die Ergebnisseite erneuert; Abbruch verwirft die Eingaben."},
    {"cmdEditDlg", 122, nullptr, nullptr},
    {"EditParam", 123, "Parameter",
     "Öffnet den Dialog der Modellparameter des HSG-Ansatzes (Zerfallsraten, Ertragsfaktoren, "
     "Temperaturkonstanten und Koeffizienten)."},
    {"EditExtra", 124, "Membrandaten", "Zusatzdaten eines Moduls; das HSG-Modul hat keine."},
    {"ViewResult", 125, "Ergebnisübersicht",
     "Zeigt die Ergebnisseite der aktuellen Berechnung nach der gewählten Bildschirmvorlage."},
    {"ViewMessages", 126, "Meldungen", "Zeigt die Meldungen, die die Berechnung hinterlassen hat."},
    {"SetSpeedBar", 127, "Symbolleiste",
     "Blendet die vier Symbolleisten Datei, Modus, Vorlagen und Hilfe ein oder aus. Die Einstellung "
     "gilt auch beim nächsten Start."},
    {"SetStartDlg", 128, "Startdialog",
     "Schaltet ein oder aus, ob beim Programmstart der Startdialog (neue Berechnung, vorhandene "
     "öffnen oder zuletzt bearbeitete Datei) erscheint."},
    {"SetPaths", 129, "Verzeichnisse",
     "Legt das Verzeichnis der Berechnungsdaten und das der Bildschirm- und Druckvorlagen fest. "
     "Geänderte Verzeichnisse gelten ab dem nächsten Start."},
    {"HelpContents1", 130, "Online-Handbuch", "Öffnet die Inhaltsseite dieser Hilfe."},
    {"HelpTopicSearch1", 131, "Hilfethemen", "Öffnet die Inhaltsseite dieser Hilfe."},
    {"HelpOnHelp1", 132, "Hilfe benutzen", "Erklärt, wie das Hilfefenster bedient wird."},
    {"HelpAbout1", 133, "Info", "Zeigt den Programmnamen und die Versionen der geladenen Module."},
    {"Homepage", 134, "Homepage", "Öffnet die Homepage des Programms im Browser."},
    // Controls of the toolbars and the window.
    {"cbxModules", 140, "Modul", "Das Berechnungsmodul, mit dem gearbeitet wird (hier: Bemessung nach HSG)."},
    {"cbxScreenTpl", 141, "Bildschirmvorlage (Liste)",
     "Wählt aus den vorhandenen Bildschirmvorlagen die für die Ergebnisseite; die Seite wird sofort "
     "neu aufgebaut."},
    {"cbxPrintTpl", 142, "Druckvorlage (Liste)",
     "Wählt aus den vorhandenen Druckvorlagen die für Ausdruck und Export."},
    {"pcResult", 143, "Ergebnisseite",
     "Die Ergebnisse der aktuellen Berechnung. Die unterstrichenen Verweise öffnen den "
     "Eingabedialog auf der passenden Seite oder wechseln den Lastfall. Strg+Pos1 und Strg+Ende "
     "springen an den Anfang und das Ende der Seite."},
};

}  // namespace

std::span<const THelpTopic> MainFormHelpTopics() { return kTopics; }

}  // namespace velmoran
