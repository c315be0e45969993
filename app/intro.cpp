// The intro screen: what the tool will do, shown before the dialog asks for a photo.
#include "app/app.h"
#include "imaging/imaging.h"
#include "runtime/console.h"

static const char* const kIntroLines[] = {
    "Scegliere una foto qualsiasi dalla cartella contenente le",
    "immagini da ridurre.",
    "Il programma inizia a leggere le foto e a creare le copie",
    "ridotte senza modificare l'originale!",
    "Le copie avranno lo stesso nome dell'originale preceduto da",
    "CR_ (che vuol dire CopiaRidotta) e saranno nella stessa",
    "cartella.",
};

// Every line is as wide as the console, so each print wraps to the next row.
void ShowIntro()
{
    const DynStr blank(" ");
    ConsoleLocate(1, 1);
    ConsoleSetColor(12, 0);
    DynStr title = StrConcat(
        StrConcat("Creo un copia ridotta delle foto (", StrNumber(kLargeCopySide)), " pixel)");
    ConsolePrint(StrCenter(title, ConsoleScreenWidth(), blank));
    ConsoleSetColor(7, 0);
    ConsoleNewLine();
    for (const char* line : kIntroLines)
        ConsolePrint(StrLeftJustify(line, ConsoleScreenWidth(), blank));
    ConsoleNewLine();
    ConsoleSetColor(15, 0);
    ConsolePrint(StrCenter("Batti un tasto per procedere...", ConsoleScreenWidth(), blank));
}
