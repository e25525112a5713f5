// The design module's help topics; see HsgHelpTopics.h.
#include "hsg/ui/HsgHelpTopics.h"

namespace velmoran {

namespace {

const THelpTopic kTopics[] = {
    // The dialogs and their pages: what an element without a topic of its own falls back on.
    {"HSGDlg", 900, "Eingabedialog Bemessung nach HSG",
     "Sechs Seiten mit den Eingaben eines Lastfalls. <b>Weiter</b> und <b>Zurück</b> blättern, "
     "<b>OK</b> rechnet und übernimmt die Eingaben, <b>Abbruch</b> verwirft sie. Die Ergebnisse "
     "rechts auf den Seiten werden bei jeder Eingabe neu gerechnet. F1 im Feld mit der Schreibmarke "
     "erklärt das Feld."},
    {"pnlPage1", 200, "Eingabeseite Allgemeines",
     "Angaben zur Dokumentation (Projekt, Bearbeiter, Datum) und die Wahl, ob der Zulauf als "
     "Konzentrationen oder als Frachten eingegeben wird."},
    {"pnlPage2", 300, "Eingabeseite Belastung",
     "Der Trockenwetterzufluss, die Konzentrationen oder Frachten des Zulaufs zur biologischen Stufe "
     "(nach einer Vorklärung, wenn es eine gibt) und der Schwankungsfaktor."},
    {"pnlPage3", 400, "Eingabeseite Verfahrensspezifikation",
     "Feststoffgehalt und Temperatur im Belebungsbecken und die Phosphorelimination. Rechts die "
     "Phosphorbilanz: Phosphor im Zulauf, in der Biomasse gebunden, durch Fällung zu entfernen, im "
     "Ablauf, und der Bedarf an Fällmittel."},
    {"pnlPage4", 500, "Eingabeseite Stickstoffelimination",
     "Vorgaben der Nitrifikation und das Denitrifikationsverfahren. Rechts das Schlammalter, das "
     "Beckenvolumen mit seinen Anteilen, die interne Rückführung, die Stickstoffbilanz und der "
     "Überschussschlamm."},
    {"pnlPage5", 600, "Eingabeseite Sauerstoffbedarf",
     "Sauerstoffkonzentration und Stoßfaktoren. Rechts der Sauerstoffverbrauch für Kohlenstoffabbau "
     "und Nitrifikation, die Gutschrift der Denitrifikation, der maßgebende Stundenbedarf und die "
     "erforderliche Sauerstoffzufuhr, alle in kg/d oder kg/h."},
    {"pnlPage6", 700, "Eingabeseite Belüftung und Säurekapazität",
     "Das Belüftungssystem mit seinen Kennwerten, darunter die Sauerstoffzufuhr in Reinwasser und "
     "die Luftmenge; rechts die Bilanz der Säurekapazität mit dem pH-Wert."},
    {"HSGPar", 800, "Parameterdialog",
     "Die Modellparameter des HSG-Ansatzes auf zwei Seiten. <b>OK</b> übernimmt sie für die aktuelle "
     "Berechnung und rechnet neu, mit „Als Standardwerte verwenden“ auch für jede neue Berechnung; "
     "<b>Abbruch</b> verwirft die Eingaben."},
    // Page 1: Allgemeines.
    {"edBez", 201, "Projektbezeichnung",
     "Name des Projekts oder der Anlage, höchstens 255 Zeichen. Er steht im Kopf jeder gedruckten "
     "Seite."},
    {"edBearb", 202, "Bearbeiter(in)",
     "Wer die Berechnung bearbeitet, höchstens 255 Zeichen. Der Name steht im Kopf jeder gedruckten "
     "Seite."},
    {"edDatum", 203, "Berechnungsdatum",
     "Datum der Berechnung, einzugeben als TT.MM.JJJJ oder aus dem Kalender der Schaltfläche "
     "rechts zu wählen."},
    {"rbKonz", 204, "Eingabe als Konzentrationen",
     "Der Zulauf wird auf der Seite „Belastung“ als Konzentrationen in mg/l eingegeben; die "
     "Tagesfrachten rechnet das Programm mit dem Trockenwetterzufluss aus."},
    {"rbFracht", 205, "Eingabe als Frachten",
     "Der Zulauf wird auf der Seite „Belastung“ als Tagesfrachten in kg/d eingegeben; die "
     "Konzentrationen rechnet das Programm mit dem Trockenwetterzufluss aus."},
    // Page 2: Belastung.
    {"edQD", 301, "Trockenwetterzufluss Q<sub>T,d</sub>",
     "Abwasserzufluss zur biologischen Stufe bei Trockenwetter im Tagesmittel, in m³/d. Er rechnet "
     "Konzentrationen und Frachten ineinander um und bestimmt mit den Frachten das Beckenvolumen. "
     "Kommunal etwa 0,15 bis 0,25 m³ je Einwohner und Tag; der Wert muss größer als 0 sein."},
    {"edCBSBzb", 302, "BSB<sub>5</sub> im Zulauf",
     "Biochemischer Sauerstoffbedarf in 5 Tagen im Zulauf zur biologischen Stufe, in mg/l. "
     "Kommunal nach Vorklärung etwa 150 bis 250 mg/l, ohne Vorklärung 250 bis 400 mg/l."},
    {"edXTSzb", 303, "Abfiltrierbare Stoffe im Zulauf",
     "Abfiltrierbare Stoffe (Filter 0,45 µm) im Zulauf zur biologischen Stufe, in mg/l. Nach "
     "Vorklärung etwa 70 bis 150 mg/l, ohne Vorklärung 200 bis 300 mg/l."},
    {"edCTKNzb", 304, "Kjeldahl-Stickstoff im Zulauf",
     "Gesamt-Kjeldahl-Stickstoff (organischer Stickstoff und Ammonium) im Zulauf, in mg/l. "
     "Kommunal etwa 40 bis 70 mg/l."},
    {"edSNH4zb", 305, "Ammoniumstickstoff im Zulauf",
     "Ammoniumstickstoff NH<sub>4</sub>-N im Zulauf, in mg/l; meist 60 bis 75 % des "
     "Kjeldahl-Stickstoffs, kommunal etwa 25 bis 50 mg/l."},
    {"edSNO3zb", 306, "Nitratstickstoff im Zulauf",
     "Nitratstickstoff NO<sub>3</sub>-N im Zulauf, in mg/l; in kommunalem Abwasser meist 0 bis "
     "2 mg/l."},
    {"edCPzb", 307, "Phosphor im Zulauf",
     "Gesamt-Phosphor im Zulauf zur biologischen Stufe, in mg/l. Kommunal etwa 6 bis 12 mg/l."},
    {"edSO2zb", 308, "Gelöster Sauerstoff im Zulauf",
     "Mit dem Zulauf eingetragener gelöster Sauerstoff, in mg/l; meist 0 bis 2 mg/l. Er wird in "
     "der Sauerstoffbilanz der Denitrifikation gutgeschrieben."},
    {"edSKSzb", 309, "Säurekapazität im Zulauf",
     "Säurekapazität K<sub>S,4,3</sub> des Zulaufs (bis pH 4,3), in mmol/l; je nach Härte des "
     "Trinkwassers etwa 5 bis 12 mmol/l. Sie ist der Ausgangswert der Bilanz auf der Seite "
     "„Belüftung und Säurekapazität“."},
    {"edKSzb", 309, nullptr, nullptr},
    {"edBDBSBzb", 311, "BSB<sub>5</sub>-Fracht im Zulauf",
     "Tagesfracht des BSB<sub>5</sub> im Zulauf, in kg/d (Konzentration mal Zufluss durch 1000). "
     "Einwohnerspezifisch etwa 60 g/(E·d) ohne und 40 g/(E·d) nach Vorklärung."},
    {"edBDXTSzb", 312, "Fracht der abfiltrierbaren Stoffe",
     "Tagesfracht der abfiltrierbaren Stoffe im Zulauf, in kg/d. Einwohnerspezifisch etwa "
     "70 g/(E·d) ohne und 35 g/(E·d) nach Vorklärung."},
    {"edBDTKNzb", 313, "Kjeldahl-Stickstoff-Fracht",
     "Tagesfracht des Kjeldahl-Stickstoffs im Zulauf, in kg/d; etwa 11 g/(E·d)."},
    {"edBDNH4zb", 314, "Ammonium-Fracht",
     "Tagesfracht des Ammoniumstickstoffs im Zulauf, in kg/d; etwa 7 g/(E·d)."},
    {"edBDNO3zb", 315, "Nitrat-Fracht", "Tagesfracht des Nitratstickstoffs im Zulauf, in kg/d; meist gering."},
    {"edBDPzb", 316, "Phosphor-Fracht",
     "Tagesfracht des Gesamt-Phosphors im Zulauf, in kg/d; etwa 1,8 g/(E·d)."},
    {"edBDO2zb", 317, "Sauerstoff-Fracht",
     "Mit dem Zulauf täglich eingetragener gelöster Sauerstoff, in kg/d."},
    {"edSH", 321, "Schwankungsfaktor",
     "Verhältnis der größten zur mittleren Stickstofffracht im Tagesgang, ohne Einheit. Er mindert "
     "die ansetzbare Wachstumsrate der Nitrifikanten und verlängert so das Schlammalter. Große "
     "Anlagen etwa 1,5, kleine bis 2,5; eine neue Berechnung beginnt mit 1,7."},
    // Page 3: Verfahrensspezifikation.
    {"VarTSBB", 401, "Schlammtrockensubstanz TS<sub>BB</sub>",
     "Feststoffgehalt im Belebungsbecken, in kg/m³. Aus der Schlammmasse und diesem Wert ergibt "
     "sich das Beckenvolumen. Üblich 2,5 bis 5 kg/m³, je nach Nachklärung; Vorgabe 3,5 kg/m³."},
    {"VarT", 402, "Bemessungstemperatur T",
     "Abwassertemperatur, für die bemessen wird, in °C. Für die Nitrifikation meist 10 bis 12 °C "
     "(kältester maßgebender Zeitraum); Vorgabe 12 °C."},
    {"cbxFM", 403, "Fällmittel",
     "Das Fällmittel der Phosphorfällung: keine Fällung, dreiwertiges Eisen, zweiwertiges Eisen "
     "oder Aluminium. Es bestimmt den Fällmittelbedarf, den Fällschlamm und den Verbrauch an "
     "Säurekapazität."},
    {"VarEtaPbio", 404, "Biologische Phosphorentfernung",
     "Anteil des Zulaufphosphors, der biologisch in die Biomasse eingebaut wird, in %. Ohne "
     "vermehrte biologische Phosphorelimination gilt mindestens der Einbau in die normale "
     "Biomasse; mit einem Anaerobbecken etwa 30 bis 60 %. Mehr, als der Phosphor im Zulauf "
     "zulässt, wird auf das Mögliche gesenkt."},
    {"VarBeta", 405, "Beta-Wert",
     "Molares Verhältnis des zugegebenen Metalls zum zu fällenden Phosphor, in mol/mol. Üblich "
     "1,2 bis 1,5 bei Simultanfällung; Vorgabe 1,5. Nur sichtbar, wenn ein Fällmittel gewählt ist."},
    // Page 4: Stickstoffelimination.
    {"VarSFH", 501, "Sicherheitsfaktor",
     "Sicherheitsfaktor auf das für die Nitrifikation nötige Schlammalter, ohne Einheit. Werte "
     "unter 1 werden als 1 gerechnet; Richtwert 1,25."},
    {"VarSNH4ansp", 502, "Ammonium-Ablaufkonzentration bei Spitzenlast",
     "Ammoniumstickstoff, der im Ablauf bei Spitzenbelastung zugelassen wird, in mg/l; üblich "
     "5 bis 10 mg/l, Vorgabe 5 mg/l. Im Tagesmittel rechnet das Programm mit einem Fünftel davon."},
    {"VarSorgNan", 503, "Organischer Stickstoff im Ablauf",
     "Organisch gebundener Stickstoff im Ablauf der Nachklärung, in mg/l; üblich 1 bis 2 mg/l, "
     "Vorgabe 2 mg/l."},
    {"cbxDV", 504, "Denitrifikationsverfahren",
     "Keine, vorgeschaltete, simultane oder intermittierende Denitrifikation. Das Verfahren "
     "bestimmt, wie viel Nitrat bei welchem Anteil des Beckenvolumens abgebaut werden kann; bei "
     "vorgeschalteter Denitrifikation kommt die interne Rückführung hinzu."},
    {"VarSNO3an", 505, "Nitrat-Ablaufkonzentration (Sollwert)",
     "Nitratstickstoff, der im Ablauf bleiben darf, in mg/l; üblich 8 bis 12 mg/l, Vorgabe "
     "10 mg/l. Aus ihm ergibt sich die zu denitrifizierende Stickstoffmenge."},
    {"VarSO2RF", 506, "Sauerstoff in der internen Rückführung",
     "Gelöster Sauerstoff, den die interne Rückführung in die vorgeschaltete Denitrifikation "
     "mitbringt, in mg/l; üblich 0,5 bis 2 mg/l. Er mindert die Denitrifikationsleistung."},
    // Page 5: Sauerstoffbedarf.
    {"VarCX", 601, "Sauerstoffkonzentration im belüfteten Volumen c<sub>x</sub>",
     "Gelöster Sauerstoff, der im belüfteten Becken gehalten wird, in mg/l; üblich 1,5 bis "
     "2 mg/l, Vorgabe 2 mg/l. Je höher, desto mehr Sauerstoff muss zugeführt werden."},
    {"VarFC", 602, "Stoßfaktor C-Abbau",
     "Verhältnis des Sauerstoffverbrauchs für den Kohlenstoffabbau in der Spitzenstunde zum "
     "Tagesmittel, ohne Einheit; üblich 1,1 bis 1,3, Vorgabe 1,2."},
    {"VarFN", 603, "Stoßfaktor Nitrifikation",
     "Verhältnis des Sauerstoffverbrauchs der Nitrifikation in der Spitzenstunde zum Tagesmittel, "
     "ohne Einheit; große Anlagen etwa 1,5, kleine bis 2,5; Vorgabe 1,8."},
    // Page 6: Belüftung und Säurekapazität.
    {"cbxAT", 701, "Art des Belüftungssystems",
     "Druckbelüftung (Luft wird am Beckenboden eingeblasen) oder Oberflächenbelüftung (Kreisel oder "
     "Walzen). Danach richten sich die Kennwerte darunter; nur bei Druckbelüftung werden Luftmenge "
     "und pH-Wert berechnet."},
    {"VarHE", 702, "Einblastiefe h<sub>E</sub>",
     "Wassertiefe über den Belüftern, in m; üblich 4 bis 6 m, Vorgabe 5 m."},
    {"VarAlpha", 703, "Alpha-Wert",
     "Verhältnis des Sauerstoffeintrags in Belebtschlamm zu dem in Reinwasser, ohne Einheit. "
     "Feinblasige Druckbelüftung etwa 0,5 bis 0,7 (Vorgabe 0,6), Oberflächenbelüftung 0,8 bis 0,9."},
    {"VarAlphaS", 703, nullptr, nullptr},
    {"VarSSA", 704, "Sauerstoffausnutzung bei mittlerer Beaufschlagung",
     "Spezifische Sauerstoffausnutzung der Belüfter in Reinwasser bei mittlerer "
     "Belüfterbeaufschlagung, in % je m Einblastiefe. Feinblasige Belüfter etwa 5 bis 7 %/m, "
     "Vorgabe 6 %/m."},
    {"VarSSA100", 705, "Sauerstoffausnutzung bei maximaler Beaufschlagung",
     "Spezifische Sauerstoffausnutzung in Reinwasser bei größter Belüfterbeaufschlagung, in % je m "
     "Einblastiefe; meist etwas kleiner als bei mittlerer, Vorgabe 5 %/m."},
    {"VarOP100", 706, "Sauerstoffertrag in Reinwasser",
     "Sauerstoffertrag eines Oberflächenbelüfters in Reinwasser, in kg O<sub>2</sub> je kWh; "
     "üblich 1,5 bis 2,2, Vorgabe 2."},
    {"KSGrid", 707, "Bilanz der Säurekapazität",
     "Die Säurekapazität im Zulauf, ihre Gewinne und Verluste durch Ammonifikation, Nitrifikation, "
     "Denitrifikation und Fällung und der Wert im Ablauf, in mmol/l, darunter der pH-Wert im "
     "Becken. Gelb: der Ablauf liegt unter 1,5 mmol/l oder der pH-Wert unter 6,6; dann droht eine "
     "Hemmung der Nitrifikation."},
    // Model-parameter dialog.
    {"edBH", 801, "Zerfallsrate der Heterotrophen",
     "Zerfallsrate b<sub>H</sub> der heterotrophen Biomasse bei 15 °C, in 1/d; Vorgabe 0,17."},
    {"edYh", 802, "Ertragsfaktor der Heterotrophen",
     "Gebildete heterotrophe Biomasse je kg abgebautem BSB<sub>5</sub>, in kg/kg; Vorgabe 0,75."},
    {"edATH", 803, "Temperaturkonstante der Heterotrophen",
     "Faktor je Grad Temperaturunterschied zu 15 °C für den Zerfall der Heterotrophen, ohne "
     "Einheit; Vorgabe 1,072."},
    {"edBa", 804, "Zerfallsrate der Autotrophen",
     "Zerfallsrate b<sub>A</sub> der Nitrifikanten bei 15 °C, in 1/d; Vorgabe 0,05."},
    {"edYa", 805, "Ertragsfaktor der Autotrophen",
     "Gebildete Nitrifikantenmasse je kg nitrifiziertem Stickstoff, in kg/kg; Vorgabe 0,15."},
    {"edATA", 806, "Temperaturkonstante Wachstum",
     "Faktor je Grad Temperaturunterschied zu 15 °C für das Wachstum der Nitrifikanten, ohne "
     "Einheit; Vorgabe 1,103."},
    {"edMueA", 807, "Maximale Wachstumsrate der Autotrophen",
     "Größte Wachstumsrate µ<sub>A,max</sub> der Nitrifikanten bei 15 °C, in 1/d; Vorgabe 0,52. "
     "Sie bestimmt mit Temperatur und Schwankungsfaktor das nötige Schlammalter."},
    {"edATD", 808, "Temperaturkonstante Zerfall",
     "Faktor je Grad Temperaturunterschied zu 15 °C für den Zerfall der Nitrifikanten, ohne "
     "Einheit; Vorgabe 1,09."},
    {"edKN", 809, "Halbwertskonzentration",
     "Ammoniumkonzentration k<sub>N</sub>, bei der die Nitrifikanten mit halber Höchstrate wachsen, "
     "in mg/l; Vorgabe 1."},
    {"edIIN", 810, "N-Anteil in Inertmasse",
     "Stickstoffanteil der inerten Feststoffe, in kg N je kg; Vorgabe 0,01."},
    {"edIBP", 811, "P-Anteil in aktiver Biomasse",
     "Phosphoranteil der aktiven Biomasse, in kg P je kg; Vorgabe 0,03."},
    {"edfP", 812, "Nicht abbaubarer Anteil der Zulauf-Feststoffe",
     "Anteil der abfiltrierbaren Stoffe im Zulauf, der nicht abgebaut wird und als Schlamm bleibt, "
     "ohne Einheit; Vorgabe 0,6."},
    {"edIBN", 813, "N-Anteil in aktiver Biomasse",
     "Stickstoffanteil der aktiven Biomasse, in kg N je kg; Vorgabe 0,12."},
    {"edFI", 814, "Anteil inerter Zerfallsprodukte",
     "Anteil der zerfallenden Biomasse, der als inerter Rest bleibt, ohne Einheit; Vorgabe 0,2."},
    {"edFOVS", 815, "Koeffizient Substratatmung",
     "Sauerstoffverbrauch je kg abgebautem BSB<sub>5</sub> für die Substratatmung, in kg/kg; "
     "Vorgabe 0,56."},
    {"edFOVE", 816, "Koeffizient endogene Atmung",
     "Sauerstoffverbrauch der endogenen Atmung je kg zerfallender Biomasse, in kg/kg; Vorgabe 0,2."},
    {"edFOVD", 817, "Koeffizient Nitrat-Atmung",
     "Anteil des Sauerstoffbedarfs, den die Nitrat-Atmung bei der Denitrifikation decken kann, ohne "
     "Einheit; Vorgabe 0,75."},
    {"chkStdParam", 818, "Als Standardwerte verwenden",
     "Angekreuzt werden die Parameter mit OK auch als Standardwerte gespeichert, mit denen jede "
     "neue Berechnung beginnt."},
};

}  // namespace

std::span<const THelpTopic> HsgHelpTopics() { return kTopics; }

}  // namespace velmoran
