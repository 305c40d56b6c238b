#include "host/HostMessages.h"

namespace labelplu::host {

namespace {

using enum HostMessage;

constexpr HostMessageRow kRows[] = {
    {TryHelp, "Try 'labelhost --help'.", "Справка: 'labelhost --help'."},
    {CsvLineError, "CSV file \"%s\", line %d: %s", "CSV-файл \"%s\", строка %d: %s"},
    {CsvQuoteNeverClosed, "a quoted field is never closed", "поле в кавычках не закрыто"},
    {CsvAfterClosingQuote, "unexpected character after a closing quote",
     "лишний символ после закрывающей кавычки"},
    {CsvQuoteInUnquotedField, "a quote inside an unquoted field",
     "кавычка внутри поля без кавычек"},
    {CsvNotUtf8,
     "byte 0x%s is not UTF-8 (a file saved in Windows-1251 reads with --encoding cp1251 or auto)",
     "байт 0x%s не относится к UTF-8 (файл в кодировке Windows-1251 читается с --encoding cp1251 "
     "или auto)"},
    {CsvNoHeader, "CSV file \"%s\" has no header row", "в CSV-файле \"%s\" нет строки заголовка"},
    {CsvFieldCount, "%d fields where the header has %d", "полей %d, а в заголовке %d"},
    {CsvNoRecords,
     "CSV file \"%s\" has a header and no records: nothing printed. Add one line per label "
     "below the header.",
     "в CSV-файле \"%s\" есть заголовок, но нет ни одной записи: ничего не напечатано. Добавьте "
     "под заголовком по строке на каждую этикетку."},
    {CsvReadAsCp1251, "read %s as Windows-1251 (it is not valid UTF-8)",
     "файл %s прочитан как Windows-1251 (это не UTF-8)"},
    {EncodingValues, "--encoding takes auto, utf-8 or cp1251",
     "--encoding принимает auto, utf-8 или cp1251"},
    {CodeSuffix, "%s (code %d)", "%s (код %d)"},
    {RunTakesOneScript, "run takes one argument: a script file or -",
     "run принимает один аргумент: файл сценария или -"},
    {ScriptNotReadable, "cannot read script \"%s\": not a readable file",
     "не удаётся прочитать сценарий \"%s\": это не файл или он недоступен"},
    {ScriptCannotRead, "cannot read script \"%s\"", "не удаётся прочитать сценарий \"%s\""},
    {CallNeedsName, "call needs a method name", "call требует имя метода"},
    {GetTakesName, "get takes one property name", "get принимает одно имя свойства"},
    {SetTakesNameValue, "set takes a property name and a value",
     "set принимает имя свойства и значение"},
    {OptionNeedsPath, "%s needs a path", "%s требует путь"},
    {UnknownOption, "unknown option %s", "неизвестный параметр %s"},
    {NoCommand, "no command given", "не указана команда"},
    {UnknownCommand, "unknown command %s", "неизвестная команда %s"},
    {NoSuchDevice, "no device \"%s\": %s", "нет устройства \"%s\": %s"},
    {TakesAtMostOneDevice, "%s takes at most one device",
     "%s принимает не более одного устройства"},
    {DeviceIsEmpty, "%s: the device is empty", "%s: устройство не указано"},
    {ManyDevices, "there are %d devices: name one by its number or name",
     "устройств несколько (%d): укажите одно по номеру или имени"},
    {NoListedDevice, "the driver chose no listed device",
     "драйвер не выбрал ни одного устройства из списка"},
    {NoDevicesConfigure,
     "there are no devices; add one with 'labelhost configure' or 'labelhost add'",
     "устройств нет; добавьте устройство командой 'labelhost configure' или 'labelhost add'"},
    {NoDevicesAdd, "there are no devices; add one with 'labelhost add'",
     "устройств нет; добавьте устройство командой 'labelhost add'"},
    {AddCancelled, "settings cancelled (%d): no device added",
     "настройка отменена (%d): устройство не добавлено"},
    {AddedNoDevice, "%s added no device", "%s не добавил устройство"},
    {AddedDevice, "Added device %s.", "Добавлено устройство %s."},
    {PreviewClosed, "Preview of device %s closed.",
     "Предварительный просмотр устройства %s закрыт."},
    {SettingsCancelled, "settings of device %s cancelled (%d); nothing stored",
     "настройка устройства %s отменена (%d); ничего не сохранено"},
    {ConfiguredDevice, "Configured device %s.", "Устройство %s настроено."},
    {PropsNoArray, "GetProps gave no value array", "GetProps не вернул массив значений"},
    {PropsFewColumns, "GetProps gave a value array of fewer than 7 columns",
     "GetProps вернул массив значений меньше чем из 7 столбцов"},
    {ReadOnlyMark, " (read-only)", " (только чтение)"},
    {DeviceIsOn, "Device %s is on.", "Устройство %s включено."},
    {DeviceIsOff, "Device %s is off.", "Устройство %s выключено."},
    {DevicesNoArgs, "devices takes no arguments", "devices не принимает аргументов"},
    {NoDevices, "No devices.", "Устройств нет."},
    {StateOn, "on", "вкл."},
    {StateOff, "off", "выкл."},
    {AddTakesOneFile, "add takes at most one settings document file",
     "add принимает не более одного файла с документом настроек"},
    {SameCode,
     "device %s has the same code; a second device with it would replace the first when the "
     "settings are loaded again",
     "у устройства %s тот же код; второе устройство с этим кодом заменило бы первое при "
     "следующей загрузке настроек"},
    {DeleteTakesDevice, "delete takes one device: N or NAME",
     "delete принимает одно устройство: номер или имя"},
    {DeletedDevice, "Deleted device %s.", "Удалено устройство %s."},
    {SelectTakesDevice, "select takes one device: N or NAME",
     "select принимает одно устройство: номер или имя"},
    {SelectedDevice, "Selected device %s.", "Выбрано устройство %s."},
    {DeviceOptionNeedsDevice, "--device needs a device: N or NAME",
     "--device требует устройство: номер или имя"},
    {ParamTakesNameValue, "param takes a parameter name and a value",
     "param принимает имя параметра и значение"},
    {ParamReadOnly, "the parameter %s is read-only", "параметр %s доступен только для чтения"},
    {ParamSet, "Device %s: %s = %s", "Устройство %s: %s = %s"},
    {ShowSettingsNoArgs, "show-settings takes no arguments",
     "show-settings не принимает аргументов"},
    {NoSettingsYet, "no settings stored yet: \"%s\" does not exist",
     "настройки ещё не сохранялись: файла \"%s\" нет"},
    {RequestNotArray, "a request is an array that begins with \"call\", \"get\" or \"set\"",
     "запрос — это массив, который начинается с \"call\", \"get\" или \"set\""},
    {UnknownRequestKind, "unknown request kind %s (expected \"call\", \"get\" or \"set\")",
     "неизвестный вид запроса %s (ожидается \"call\", \"get\" или \"set\")"},
    {RequestNeedsName, "a \"%s\" request needs a name (a non-empty string) as its second value",
     "запросу \"%s\" нужно имя (непустая строка) вторым значением"},
    {GetRequestForm, "a \"get\" request is [\"get\", NAME]",
     "запрос \"get\" имеет вид [\"get\", ИМЯ]"},
    {SetRequestForm, "a \"set\" request is [\"set\", NAME, VALUE]",
     "запрос \"set\" имеет вид [\"set\", ИМЯ, ЗНАЧЕНИЕ]"},
    {ArgumentError, "argument %d: %s", "аргумент %d: %s"},
    {CannotShowAnswer, "cannot show the answer: %s", "не удаётся показать ответ: %s"},
    {SkippedNotJson, "%s:%d: skipped: not valid JSON: %s", "%s:%d: пропущено: это не JSON: %s"},
    {Skipped, "%s:%d: skipped: %s", "%s:%d: пропущено: %s"},
    {ScriptReadError, "%s: read error", "%s: ошибка чтения"},
    {SettingsRefused, "the plug-in refused the settings file \"%s\": %s",
     "модуль не принял файл настроек \"%s\": %s"},
    {NoSettingsDocumentWhy, "the plug-in gave no settings document of its devices: %s",
     "модуль не выдал документ настроек своих устройств: %s"},
    {NoSettingsDocument, "the plug-in gave no settings document of its devices",
     "модуль не выдал документ настроек своих устройств"},
    {PluginCannotLoad, "cannot load the plug-in \"%s\": %s",
     "не удаётся загрузить модуль \"%s\": %s"},
    {UnknownReason, "unknown reason", "причина неизвестна"},
    {PluginMissingExport,
     "the plug-in \"%s\" does not export %s: it is not a plug-in of this family",
     "модуль \"%s\" не экспортирует %s: это модуль не из этого семейства"},
    {PluginWrongQuery,
     "the plug-in \"%s\" is not a plug-in of this family: Query() returned %s, expected %s",
     "модуль \"%s\" не из этого семейства: Query() вернула %s, ожидалось %s"},
    {PluginNoControl, "the plug-in \"%s\" gave no control interface",
     "модуль \"%s\" не выдал управляющий интерфейс"},
    {PluginCallFailed, "%s of the plug-in \"%s\" failed", "вызов %s модуля \"%s\" не удался"},
    {RequestNotHandled, "the plug-in did not handle the request", "модуль не обработал запрос"},
    {PluginUnknownException, "the plug-in raised an unknown exception",
     "модуль выбросил неизвестное исключение"},
    {HostCannotCreateValueArray,
     "The host cannot create a value array: CoCreateInstance of the value array class failed "
     "(HRESULT %s)%s",
     "Хост не может создать массив значений: вызов CoCreateInstance для класса массива значений "
     "не удался (HRESULT %s)%s"},
    {ClassNotAnnounced, "; the class is not announced", "; класс не объявлен"},
    {NoHomeFolder,
     "cannot place the settings file: neither XDG_CONFIG_HOME nor HOME is set and the account has "
     "no home folder; choose one with --settings FILE",
     "некуда поместить файл настроек: не заданы ни XDG_CONFIG_HOME, ни HOME, а у учётной записи "
     "нет домашней папки; укажите файл параметром --settings ФАЙЛ"},
    {SettingsCannotRead, "cannot read settings file \"%s\": %s",
     "не удаётся прочитать файл настроек \"%s\": %s"},
    {SettingsFileError, "settings file: %s", "файл настроек: %s"},
    {SettingsMalformed, "settings file \"%s\" is malformed: %s",
     "файл настроек \"%s\" повреждён: %s"},
    {SettingsNoDevices,
     "settings file \"%s\" holds no device settings: its root element is <%s>, not <EquList>, "
     "<Система> or <Устройство>, and it has no <Устройство>",
     "в файле настроек \"%s\" нет настроек устройств: его корневой элемент <%s>, а не <EquList>, "
     "<Система> или <Устройство>, и элементов <Устройство> в нём нет"},
    {SettingsCannotStore, "cannot store the settings file \"%s\"",
     "не удаётся сохранить файл настроек \"%s\""},
    {CannotCreateFolder, "%s: cannot create the folder \"%s\": %s",
     "%s: не удаётся создать папку \"%s\": %s"},
    {CannotCreateFileIn, "%s: cannot create a file in \"%s\": %s",
     "%s: не удаётся создать файл в \"%s\": %s"},
    {WriteError, "write error", "ошибка записи"},
    {CannotKeepPermissions, "cannot keep the permissions", "не удаётся сохранить права доступа"},
    {CannotFlush, "cannot flush it to disk", "не удаётся записать его на диск"},
    {CannotReplace, "cannot replace it", "не удаётся заменить его"},
    {CannotReadFile, "cannot read file \"%s\": %s", "не удаётся прочитать файл \"%s\": %s"},
    {CannotOpenIt, "cannot open it", "не удаётся открыть его"},
    {CannotQueryIt, "cannot query it", "не удаётся получить сведения о нём"},
    {NotARegularFile, "not a regular file", "это не обычный файл"},
    {ReadError, "read error", "ошибка чтения"},
    {HalfUtf16Character, "its UTF-16 text ends in half a character",
     "его текст в UTF-16 обрывается на половине символа"},
    {NotUtf8Text, "it is not UTF-8 (or UTF-16) text", "это не текст в UTF-8 (или UTF-16)"},
    {CannotCreateValueArray, "cannot create a value array (the class is announced by the plug-in)",
     "не удаётся создать массив значений (класс объявляет модуль)"},
    {NegativeArraySize, "a value array cannot have a negative size",
     "размер массива значений не может быть отрицательным"},
    {ArrayTooLarge, "a value array of %d rows and %d columns is too large (at most %d cells)",
     "массив значений из %d строк и %d столбцов слишком велик (не более %d ячеек)"},
    {CannotSizeArray, "cannot size a value array", "не удаётся задать размер массива значений"},
    {CannotStoreCell, "cannot store a value array cell",
     "не удаётся записать ячейку массива значений"},
    {StorageMissing, "storage file \"%s\" does not exist", "файла хранилища \"%s\" нет"},
    {StorageNotRegular, "storage file \"%s\" is not a regular file",
     "файл хранилища \"%s\" не является обычным файлом"},
    {StorageCannotLoad, "cannot load storage file \"%s\"",
     "не удаётся загрузить файл хранилища \"%s\""},
    {CannotReadBounds, "cannot read the bounds of a value array",
     "не удаётся прочитать границы массива значений"},
    {CannotReadCell, "cannot read a value array cell",
     "не удаётся прочитать ячейку массива значений"},
    {NestedTooDeep, "values nested deeper than %d levels", "значения вложены глубже %d уровней"},
    {PathNotString, "{\"%s\": PATH} needs the path as a string, not %s",
     "{\"%s\": PATH} требует путь в виде строки, а не %s"},
    {PathEmpty, "{\"%s\": PATH} needs a path, not an empty string",
     "{\"%s\": PATH} требует путь, а не пустую строку"},
    {ArrayNotTable,
     "an array argument is a table: an array of rows, each an array of cells; %s is not a row",
     "аргумент-массив — это таблица: массив строк, каждая из которых — массив ячеек; %s — не "
     "строка таблицы"},
    {ObjectForms,
     "an object argument is {\"file\": PATH}, {\"csv\": PATH} or {\"storage\": PATH}, not %s",
     "аргумент-объект — это {\"file\": PATH}, {\"csv\": PATH} или {\"storage\": PATH}, а не %s"},
    {IntegerTooBig, "the integer %s does not fit 64 bits",
     "целое число %s не помещается в 64 бита"},
    {JsonTypeNotArgument, "a value of this JSON type cannot be an argument",
     "значение этого типа JSON не может быть аргументом"},
    {CannotReadArrayBounds, "cannot read the bounds of an array",
     "не удаётся прочитать границы массива"},
    {CannotReadArrayElement, "cannot read an array element",
     "не удаётся прочитать элемент массива"},
    {CannotReadByRef, "cannot read a value passed by reference",
     "не удаётся прочитать значение, переданное по ссылке"},
    {CannotShowDecimal, "cannot show a decimal value: %s",
     "не удаётся показать десятичное значение: %s"},
    {NoJsonForm, "a value of variant type %s has no JSON form",
     "у значения вариантного типа %s нет представления в JSON"},
    {PaperUsage, "--paper takes A4, A5, A6, Letter, WxH in millimetres (such as 58x40) or label",
     "--paper принимает A4, A5, A6, Letter, ШxВ в миллиметрах (например, 58x40) или label"},
    {PaperNeedsOutput,
     "--paper applies to --output: a printer prints on the paper set for its queue "
     "(lpoptions -p NAME -o media=A4)",
     "--paper действует только с --output: принтер печатает на бумаге, заданной для его очереди "
     "(lpoptions -p ИМЯ -o media=A4)"},
    {GridUsage, "--grid takes CxR, the labels across and down (each 1 to %d, such as 3x7), or auto",
     "--grid принимает CxR, число этикеток по горизонтали и по вертикали (каждое от 1 до %d, "
     "например, 3x7), или auto"},
    {GridAutoNeedsPaper,
     "--grid auto needs the paper, and the paper of printer \"%s\" is set in its queue: print "
     "with --output (and --paper), or give the labels across and down as --grid CxR",
     "для --grid auto нужен размер бумаги, а бумага принтера \"%s\" задана в его очереди: "
     "печатайте с --output (и --paper) или укажите число этикеток как --grid CxR"},
    {GridBeyondPaper,
     "--grid %dx%d puts labels beyond the edge of the %s x %s mm paper: labels of %s x %s mm "
     "with the device's gaps and margins fit %d x %d there (--grid auto)",
     "--grid %dx%d выводит этикетки за край бумаги %s x %s мм: этикеток %s x %s мм с "
     "промежутками и отступами устройства там помещается %d x %d (--grid auto)"},
    {GridHint,
     "hint: the %s x %s mm paper holds %d x %d labels of %s x %s mm, the job places %d x %d per "
     "page; --grid auto fills the page",
     "подсказка: на бумаге %s x %s мм помещается %d x %d этикеток %s x %s мм, а задание "
     "размещает %d x %d на странице; --grid auto заполнит страницу"},
    {GridUsed, "Labels per page: %d x %d.", "Этикеток на странице: %d x %d."},
    {ParamCountRange, "%s takes a whole number from 1 to %d",
     "%s принимает целое число от 1 до %d"},
    {ParamDialogOnly,
     "the parameter %s is written by the settings dialog (labelhost configure) and is not read "
     "when printing",
     "параметр %s записывает диалог настроек (labelhost configure), при печати он не читается"},
    {PreviewLayout, "The preview shows %d x %d labels per page, as print lays them out.",
     "Просмотр показывает %d x %d этикеток на странице, как их разместит печать."},
    {PreviewTakesOneDevice, "preview takes one device: N, NAME or --device N|NAME",
     "preview принимает одно устройство: N, ИМЯ или --device N|ИМЯ"},
    {PreviewNeedsDisplay,
     "preview needs a display a person sees (DISPLAY or WAYLAND_DISPLAY, not Qt's offscreen "
     "platform); nothing was shown",
     "для preview нужен экран, который видит человек (DISPLAY или WAYLAND_DISPLAY, не "
     "платформа Qt offscreen); ничего не показано"},
    {CheckSeverityError, "error", "ошибка"},
    {CheckSeverityWarning, "warning", "предупреждение"},
    {CheckNotLoaded, "the template does not load: %s", "шаблон не загружается: %s"},
    {CheckUtf8Undeclared,
     "the file is saved as UTF-8 but its XML declaration does not name UTF-8, so it is read as "
     "Windows-1251 and its letters print garbled; write encoding=\"UTF-8\" in the declaration or "
     "save the file as Windows-1251",
     "файл сохранён в UTF-8, но его XML-объявление не называет UTF-8, поэтому он читается как "
     "Windows-1251 и буквы печатаются искажёнными; укажите encoding=\"UTF-8\" в объявлении или "
     "сохраните файл в Windows-1251"},
    {CheckUnknownClass, "unknown item class \"%s\" (known: %s); the item is left out",
     "неизвестный класс элемента \"%s\" (известны: %s); элемент пропускается"},
    {CheckIncompleteSetting,
     "a setting needs both Name and Value (Name=\"%s\" Value=\"%s\"); it is skipped",
     "у настройки должны быть и Name, и Value (Name=\"%s\" Value=\"%s\"); она пропускается"},
    {CheckUnknownProperty, "no property \"%s\" (properties: %s); the setting is skipped",
     "нет свойства \"%s\" (свойства: %s); настройка пропускается"},
    {CheckEmptyValue, "property \"%s\" has an empty value; the item keeps its default",
     "у свойства \"%s\" пустое значение; у элемента остаётся значение по умолчанию"},
    {CheckBadValue, "%s=\"%s\" is not applied: %s; the item keeps its default",
     "%s=\"%s\" не применяется: %s; у элемента остаётся значение по умолчанию"},
    {CheckAllowedValues, "%s (allowed: %s)", "%s (допустимы: %s)"},
    {CheckOutsideLabel, "lies wholly outside the %s x %s mm label and does not print",
     "лежит целиком вне этикетки %s x %s мм и не печатается"},
    {CheckPartlyOutside, "lies partly outside the %s x %s mm label and prints cut off",
     "лежит частично вне этикетки %s x %s мм и печатается обрезанным"},
    {CheckBarcodeFails, "the barcode cannot print its value \"%s\": %s",
     "штрихкод не может напечатать своё значение \"%s\": %s"},
    {CheckBarcodeTooLarge,
     "the symbol needs %s dots at one dot per module but its box has %s dots at %d dpi; it would "
     "print too small to scan",
     "символу нужно %s точек при одной точке на модуль, а в его поле %s точек при %d dpi; он "
     "напечатается слишком мелким для сканера"},
    {CheckUnfedSource,
     "no column feeds data source %s, so every label prints the template's value \"%s\"; name a "
     "column %s",
     "ни один столбец не заполняет источник данных %s, и каждая этикетка печатает значение "
     "шаблона \"%s\"; назовите столбец %s"},
    {CheckUnusedField, "column \"%s\" feeds nothing on this template",
     "столбец \"%s\" ничего не заполняет в этом шаблоне"},
    {CheckUnusedCommonValue, "--set %s feeds nothing on this template",
     "--set %s ничего не заполняет в этом шаблоне"},
    {CheckRecordFails, "record %d, field \"%s\" = \"%s\": the barcode cannot print it: %s",
     "запись %d, поле \"%s\" = \"%s\": штрихкод не может его напечатать: %s"},
    {CheckUnlisted, "and %d more like the line above", "и ещё %d таких же, как строка выше"},
    {CheckSummary, "%d error(s), %d warning(s)", "ошибок: %d, предупреждений: %d"},
    {CheckNamesOr, " or ", " или "},
    {CheckUsageTemplate, "check needs a template file", "check: нужен файл шаблона"},
    {CheckUsageArgument, "check: unknown argument %s", "check: неизвестный аргумент %s"},
    {CheckUsageValue, "%s needs a value", "%s: нужно значение"},
    {CheckUsageSet, "--set takes NAME=VALUE", "--set: нужно ИМЯ=ЗНАЧЕНИЕ"},
    {CheckUsageDpi, "--dpi takes a whole number from 50 to 4800",
     "--dpi: нужно целое число от 50 до 4800"},
    {CheckTemplateUnreadable, "template \"%s\" cannot be read: %s",
     "шаблон \"%s\" не читается: %s"},
    {CheckDpiUnknown, "the resolution of printer \"%s\" is unknown (%s); checking at %d dpi",
     "разрешение принтера \"%s\" неизвестно (%s); проверка при %d dpi"},
    {PrintStopped,
     "nothing printed: the %d error(s) above would put wrong content on labels; fix them, or "
     "print anyway with --force",
     "ничего не напечатано: ошибки выше (%d) дали бы неверные этикетки; исправьте их или "
     "напечатайте всё равно с --force"},
    {PrintForced, "printing anyway (--force) despite %d error(s)",
     "печать всё равно (--force), несмотря на ошибки: %d"},
    {CsvDamagedUtf8,
     "byte 0x%s is not UTF-8, though the file holds UTF-8 text (characters beyond ASCII: %d, "
     "bytes that are not UTF-8: %d): it is damaged UTF-8 or a mix of encodings. Repair the file "
     "and "
     "choose --encoding utf-8, or choose --encoding cp1251 if it was saved in Windows-1251",
     "байт 0x%s не относится к UTF-8, хотя в файле есть текст в UTF-8 (символов вне ASCII: %d, "
     "байтов не из UTF-8: %d): это повреждённый UTF-8 или смесь кодировок. Исправьте файл и "
     "укажите --encoding utf-8 или, если файл сохранён в Windows-1251, укажите --encoding cp1251"},
    {StoredGridBeyondPaper,
     "the device's counts MaxHorizontal x MaxVertical = %d x %d put labels beyond the edge of the "
     "%s x %s mm paper: labels of %s x %s mm with the device's gaps and margins fit %d x %d there. "
     "Print with --grid auto, store smaller counts with 'labelhost param MaxHorizontal N' and "
     "'labelhost param MaxVertical N', or print anyway with --force",
     "счётчики устройства MaxHorizontal x MaxVertical = %d x %d выводят этикетки за край бумаги "
     "%s x %s мм: этикеток %s x %s мм с промежутками и отступами устройства там помещается "
     "%d x %d. Печатайте с --grid auto, сохраните меньшие счётчики командами 'labelhost param "
     "MaxHorizontal N' и 'labelhost param MaxVertical N' или напечатайте всё равно с --force"},
    {StoredGridForced, "printing anyway (--force): the labels beyond the paper's edge are lost",
     "печать всё равно (--force): этикетки за краем бумаги пропадут"},
    {PrintUnknownArgument, "%s: unknown argument %s", "%s: неизвестный аргумент %s"},
    {PrintNeedsTemplate, "%s needs --template FILE", "%s: нужен --template ФАЙЛ"},
    {PrintNeedsData, "print needs --data FILE.csv", "print: нужен --data ФАЙЛ.csv"},
    {PrinterOrOutput, "print takes --printer or --output, not both",
     "print принимает --printer или --output, но не оба сразу"},
    {OutputSemicolon, "--output: a file name with ';' is not supported",
     "--output: имя файла с ';' не поддерживается"},
    {NoAbsolutePath, "cannot make \"%s\" an absolute path",
     "не удаётся получить полный путь к \"%s\""},
    {DataTooManyCells, "the data file holds more cells than one job takes (%d)",
     "в файле данных больше ячеек, чем принимает одно задание (%d)"},
    {TemplateNotReadable, "template \"%s\" is not a readable file",
     "шаблон \"%s\" — не файл или он недоступен для чтения"},
    {RecordsPrinted, "%d record(s) printed.", "Напечатано записей: %d."},
    {RecordsPrintedInto, "%d record(s) printed into %s.", "Напечатано записей: %d, в файл %s."},
    {TemplateTooLarge, "template \"%s\" is too large", "шаблон \"%s\" слишком велик"},
    {TemplateNotXml, "template \"%s\": %s", "шаблон \"%s\": %s"},
    {TemplateNotLabel, "template \"%s\" is not a label template", "\"%s\" — не шаблон этикетки"},
    {NoResolution, "no resolution reported", "принтер не сообщил разрешение"},
    {HelpUsage, "Usage: labelhost [--plugin PATH] [--settings FILE] COMMAND [ARG...]\n",
     "Вызов: labelhost [--plugin PATH] [--settings FILE] COMMAND [ARG...]\n"},
    {HelpIntro,
     "Loads the labelplu plug-in, hands it the stored device settings and sends it\n"
     "requests. run, call, get and set print one JSON line per request on standard\n"
     "output: {\"ok\": true, \"result\": R, \"args\": [...]} or\n"
     "{\"ok\": false, \"code\": N|null, \"message\": TEXT}. The device commands print\n"
     "readable lines; messages go to standard error.\n",
     "Загружает модуль labelplu, передаёт ему сохранённые настройки устройств и\n"
     "посылает ему запросы. run, call, get и set выводят по строке JSON на каждый\n"
     "запрос в стандартный вывод: {\"ok\": true, \"result\": R, \"args\": [...]} или\n"
     "{\"ok\": false, \"code\": N|null, \"message\": TEXT}. Команды устройств выводят\n"
     "читаемые строки; сообщения идут в стандартный поток ошибок.\n"},
    {HelpOptions,
     "Options:\n"
     "  --plugin PATH   the plug-in module (default: labelplu.plu beside labelhost)\n"
     "  --settings FILE the settings file (default:\n"
     "                  $XDG_CONFIG_HOME/labelplu/settings.xml, ~/.config when\n"
     "                  XDG_CONFIG_HOME is not set)\n"
     "  --help          show this text\n",
     "Параметры:\n"
     "  --plugin PATH   модуль (по умолчанию labelplu.plu рядом с labelhost)\n"
     "  --settings FILE файл настроек (по умолчанию\n"
     "                  $XDG_CONFIG_HOME/labelplu/settings.xml, ~/.config, если\n"
     "                  XDG_CONFIG_HOME не задана)\n"
     "  --help          показать эту справку\n"},
    {HelpCommandsHeading, "Commands:\n", "Команды:\n"},
    {HelpDevices,
     "Devices: a device is named by its number (from 1) or its name (any letter\n"
     "case). on, off and param without a device take the only device when there\n"
     "is exactly one. param also sets what hosts may only read: MaxHorizontal and\n"
     "MaxVertical (the labels across and down a page, 1 to 99) and PrinterName.\n",
     "Устройства: устройство указывают номером (с 1) или именем (регистр букв не\n"
     "важен). on, off и param без устройства берут единственное устройство, если\n"
     "оно одно. param задаёт и то, что хосты могут только читать: MaxHorizontal и\n"
     "MaxVertical (число этикеток по горизонтали и по вертикали на странице, от 1\n"
     "до 99) и PrinterName.\n"},
    {HelpSettings,
     "Settings: the devices and their parameters are kept in the settings file\n"
     "between runs. At start the file, when it exists, is handed to the plug-in\n"
     "(SettingDevices); a file that cannot be read or is not a settings document\n"
     "stops the run. After every call or set (and after add, delete, param) the\n"
     "plug-in's list of devices (GetSettingsXML) is stored again when it changed,\n"
     "replacing the file at once. Which device is selected and whether a device is\n"
     "switched on are not kept: every run starts with no device selected and\n"
     "every device off, so select, on and off act within one run only.\n",
     "Настройки: устройства и их параметры хранятся в файле настроек между\n"
     "запусками. При старте файл, если он есть, передаётся модулю\n"
     "(SettingDevices); файл, который не читается или не является документом\n"
     "настроек, останавливает запуск. После каждого call или set (и после add,\n"
     "delete, param) список устройств модуля (GetSettingsXML) сохраняется заново,\n"
     "если он изменился, и сразу заменяет файл. Какое устройство выбрано и\n"
     "включено ли оно, не сохраняется: каждый запуск начинается без выбранного\n"
     "устройства и со всеми устройствами выключенными, поэтому select, on и off\n"
     "действуют только в пределах одного запуска.\n"},
    {HelpDialogs,
     "Dialogs: configure and preview need a display (DISPLAY or WAYLAND_DISPLAY);\n"
     "without one the driver cancels at once and says why in its log, and preview\n"
     "stops with exit status 1 before it asks. configure\n"
     "shows the driver's settings dialog of the device (the only one without N|NAME;\n"
     "with no device at all a new default device, which cancel drops again) and\n"
     "stores the settings after OK; cancel stores nothing and exits with 1. preview\n"
     "takes print's options (--template, --data, --set, --paper, --grid, --printer or\n"
     "--output, --device; a device as N|NAME too), prepares the device as print\n"
     "does and shows the page print lays out (the template's own values on every\n"
     "label): it sets LABELPLU_OPEN=preview for itself, with which the settings\n"
     "dialog opens the preview of the stored settings at once and closes as\n"
     "cancelled when it closes, so nothing is stored. The template chosen in the\n"
     "dialog is kept by its file name only and looked for in the plug-in's folder.\n",
     "Диалоги: configure и preview нужен экран (DISPLAY или WAYLAND_DISPLAY); без\n"
     "него драйвер сразу отменяет диалог и пишет причину в свой журнал, а preview\n"
     "останавливается с кодом выхода 1, не открывая его. configure показывает\n"
     "диалог настроек устройства (единственного, если N|NAME не указан; если\n"
     "устройств нет совсем, нового устройства по умолчанию, которое отмена снова\n"
     "удаляет) и сохраняет настройки после OK; отмена ничего не сохраняет и\n"
     "завершается с кодом 1. preview принимает параметры print (--template,\n"
     "--data, --set, --paper, --grid, --printer или --output, --device; устройство\n"
     "и как N|NAME), готовит устройство, как print, и показывает страницу так, как\n"
     "её разместит print (на каждой этикетке значения самого шаблона): для себя он\n"
     "задаёт LABELPLU_OPEN=preview, с которым диалог настроек сразу открывает\n"
     "просмотр сохранённых настроек, а при его закрытии закрывается как\n"
     "отменённый, так что ничего не сохраняется. Шаблон, выбранный в диалоге,\n"
     "хранится только по имени файла и ищется в папке модуля.\n"},
    {HelpPrinting,
     "Printing: print fills the template once per data row (the CSV header names\n"
     "the fields) and prints on the device's printer, the printer --printer names,\n"
     "or with --output into a PDF file on the paper --paper names (A4, A5, A6,\n"
     "Letter, WxH in millimetres, label = the template's size; A4 otherwise). A\n"
     "printer prints on the paper set for its queue, so --paper needs --output.\n"
     "--grid CxR places C labels across and R down each\n"
     "page, --grid auto as many as fit the paper with the device's gaps and\n"
     "margins (as the settings dialog's automatic placement counts them; it needs\n"
     "--output or a built-in printer, whose paper is known); without --grid the\n"
     "device's counts apply (1 x 1 for a new device), and a hint says when the\n"
     "paper holds more. Counts that put labels beyond the edge of a known paper\n"
     "stop the job: given with --grid, exit status 2; the device's stored counts,\n"
     "exit status 1, and --force prints anyway.\n",
     "Печать: print заполняет шаблон по разу на каждую строку данных (заголовок\n"
     "CSV называет поля) и печатает на принтере устройства, на принтере, который\n"
     "называет --printer, или с --output в PDF-файл на бумаге, которую называет\n"
     "--paper (A4, A5, A6, Letter, WxH в миллиметрах, label — размер шаблона;\n"
     "иначе A4). Принтер печатает на бумаге, заданной для его очереди, поэтому\n"
     "--paper требует --output. --grid CxR размещает на каждой странице C этикеток\n"
     "по горизонтали и R по вертикали, --grid auto — столько, сколько помещается\n"
     "на бумаге с промежутками и отступами устройства (как их считает\n"
     "автоматическое размещение диалога настроек; нужен --output или встроенный\n"
     "принтер, бумага которого известна); без --grid действуют счётчики\n"
     "устройства (1 x 1 у нового устройства), а подсказка сообщает, если на бумаге\n"
     "помещается больше. Счётчики, которые выводят этикетки за край известной\n"
     "бумаги, останавливают задание: заданные через --grid — с кодом выхода 2,\n"
     "сохранённые в устройстве — с кодом 1, и тогда --force печатает всё равно.\n"},
    {HelpPrintingJob,
     "--set adds values for every label. It takes the device --device names (the\n"
     "first, or a new default one when there is none) and switches it on; what it\n"
     "changes lasts for the run: print never writes the settings file. It prints\n"
     "the driver's result code and text; progress shows on a terminal. --verify\n"
     "first reads every barcode of every label back at the printer's resolution\n"
     "and stops before anything is printed when one does not read as its value.\n",
     "--set добавляет значения для всех этикеток. print берёт устройство, которое\n"
     "называет --device (первое или новое по умолчанию, если устройств нет), и\n"
     "включает его; его изменения действуют до конца запуска: print никогда не\n"
     "записывает файл настроек. Он выводит код и текст результата драйвера; на\n"
     "терминале виден ход печати. --verify сначала считывает каждый штрихкод\n"
     "каждой этикетки при разрешении принтера и останавливается до печати, если\n"
     "какой-то из них не читается как своё значение.\n"},
    {HelpCsv,
     "The CSV file: ',' ';' or tab between fields, judged by the header; blanks\n"
     "around headers and unquoted fields are dropped, quoted fields keep theirs.\n"
     "--encoding auto (the default) reads valid UTF-8 (with or without a byte\n"
     "order mark) as UTF-8 and anything else as Windows-1251, and says so when it\n"
     "chose Windows-1251, but stops at UTF-8 with damaged bytes (as many valid\n"
     "UTF-8 characters beyond ASCII as bad bytes or more) rather than guess;\n"
     "utf-8 stops at the first byte that is not UTF-8; cp1251\n"
     "reads Windows-1251. A file with a header and no records prints nothing and\n"
     "exits with 1.\n",
     "CSV-файл: между полями ',' ';' или табуляция, что определяется по заголовку;\n"
     "пробелы вокруг заголовков и полей без кавычек отбрасываются, поля в кавычках\n"
     "сохраняют свои. --encoding auto (по умолчанию) читает корректный UTF-8 (с\n"
     "меткой порядка байтов или без неё) как UTF-8, а всё остальное как\n"
     "Windows-1251 и сообщает, если выбрал Windows-1251, но не угадывает, а\n"
     "останавливается на UTF-8 с повреждёнными байтами (корректных символов UTF-8\n"
     "вне ASCII не меньше, чем плохих байтов); utf-8 останавливается на первом\n"
     "байте не из UTF-8; cp1251 читает Windows-1251. Файл с заголовком и без\n"
     "записей ничего не печатает и завершается с кодом 1.\n"},
    {HelpTemplates,
     "Templates: docs/templates.md in the source tree describes the template\n"
     "format: the items, their properties and values, the worked examples, and\n"
     "which CSV columns fill which items (a column's header must be the caption\n"
     "or the key of the item's data source, e.g. Цена or dsPrice).\n",
     "Шаблоны: docs/templates.md в дереве исходников описывает формат шаблона:\n"
     "элементы, их свойства и значения, разобранные примеры и то, какие столбцы\n"
     "CSV заполняют какие элементы (заголовок столбца должен быть подписью или\n"
     "ключом источника данных элемента, например Цена или dsPrice).\n"},
    {HelpChecking,
     "Checking: check reads a template as print does and lists, one line each\n"
     "(FILE:LINE: error|warning: ITEM: MESSAGE), what would print wrong labels:\n"
     "unknown item classes and property names, values that do not parse or are\n"
     "not in a property's list, items off the label, barcodes that do not fit\n"
     "their box; with --data (and --set) also data sources no column feeds,\n"
     "columns that feed nothing (a warning) and every record whose value a\n"
     "barcode cannot encode. Barcodes are prepared at --dpi N dots per inch,\n"
     "203 without it (a common label printer). Exit 0 without errors, 1 with\n"
     "errors, 2 for a wrong command line or a file that cannot be read.\n"
     "print runs the same check first, at the resolution of the printer it\n"
     "prints on: errors stop the job before anything is printed (exit 1) unless\n"
     "--force is given; warnings go to standard error and do not stop it.\n",
     "Проверка: check читает шаблон так же, как print, и перечисляет по строке\n"
     "(FILE:LINE: ошибка|предупреждение: ITEM: MESSAGE) то, что напечатает неверные\n"
     "этикетки: неизвестные классы элементов и имена свойств, значения, которые не\n"
     "разбираются или не входят в список свойства, элементы вне этикетки,\n"
     "штрихкоды, которые не помещаются в своё поле; с --data (и --set) также\n"
     "источники данных, которые не заполняет ни один столбец, столбцы, которые\n"
     "ничего не заполняют (предупреждение), и каждую запись, значение которой\n"
     "штрихкод не может закодировать. Штрихкоды готовятся при --dpi N точек на\n"
     "дюйм, без него при 203 (обычный принтер этикеток). Код выхода 0 без ошибок,\n"
     "1 при ошибках, 2 при неверной командной строке или файле, который не\n"
     "читается. print сначала выполняет ту же проверку при разрешении принтера,\n"
     "на котором печатает: ошибки останавливают задание до печати (код 1), если\n"
     "не указан --force; предупреждения идут в стандартный поток ошибок и задание\n"
     "не останавливают.\n"},
    {HelpScript,
     "Script lines: [\"call\", NAME, ARG...], [\"get\", NAME], [\"set\", NAME, VALUE];\n"
     "blank lines and lines starting with # are skipped.\n"
     "Values: JSON numbers, strings, true/false, null; an array of arrays is a\n"
     "value array (rows of cells); {\"file\": PATH} is the text of a file,\n"
     "{\"csv\": PATH} a value array of a CSV file (every row, the header too),\n"
     "{\"storage\": PATH} a value array loaded from a storage file. Relative\n"
     "paths in a script file are taken from the script's folder, elsewhere from\n"
     "the current folder. On the command line an argument that is not valid JSON\n"
     "is taken as a string.\n",
     "Строки сценария: [\"call\", NAME, ARG...], [\"get\", NAME], [\"set\", NAME, VALUE];\n"
     "пустые строки и строки, начинающиеся с #, пропускаются.\n"
     "Значения: числа, строки, true/false и null JSON; массив массивов — массив\n"
     "значений (строки из ячеек); {\"file\": PATH} — текст файла, {\"csv\": PATH} —\n"
     "массив значений CSV-файла (все строки, включая заголовок), {\"storage\": PATH}\n"
     "— массив значений, загруженный из файла хранилища. Относительные пути в\n"
     "файле сценария берутся от папки сценария, в остальных случаях — от текущей\n"
     "папки. В командной строке аргумент, который не является корректным JSON,\n"
     "берётся как строка.\n"},
    {HelpExit,
     "Exit status: 0 all requests succeeded, 1 a request failed, a script line\n"
     "was skipped or the settings could not be stored, 2 a usage error, or the\n"
     "plug-in, the settings file or a script could not be read.\n",
     "Код выхода: 0 — все запросы выполнены, 1 — запрос не удался, строка\n"
     "сценария пропущена или настройки не удалось сохранить, 2 — ошибка в\n"
     "командной строке или не читается модуль, файл настроек или сценарий.\n"},
    {HelpRun, "run the requests of a JSON-lines script (- reads standard input)",
     "выполнить запросы сценария JSON-lines (- читает стандартный ввод)"},
    {HelpCall, "call one method", "вызвать один метод"},
    {HelpGet, "read one property", "прочитать одно свойство"},
    {HelpSet, "write one property", "записать одно свойство"},
    {HelpDevicesCommand, "list the devices with their parameters",
     "перечислить устройства с их параметрами"},
    {HelpAdd, "add a device from a settings document (default settings without FILE)",
     "добавить устройство из документа настроек (без FILE — по умолчанию)"},
    {HelpDelete, "delete a device", "удалить устройство"},
    {HelpSelect, "select a device and show which one it is",
     "выбрать устройство и показать, какое это"},
    {HelpOn, "switch a device on (for this run only)",
     "включить устройство (только на этот запуск)"},
    {HelpOff, "switch a device off (for this run only)",
     "выключить устройство (только на этот запуск)"},
    {HelpParam, "set a parameter of a device", "задать параметр устройства"},
    {HelpShowSettings, "print the stored settings document",
     "вывести сохранённый документ настроек"},
    {HelpConfigure, "show the settings dialog of a device (a new device when there is none)",
     "показать диалог настроек устройства (нового, если их нет)"},
    {HelpPreview, "show the page print lays out, in the driver's preview window",
     "показать страницу print в окне просмотра драйвера"},
    {HelpPrint, "print a label template filled from a CSV file",
     "напечатать шаблон этикетки, заполненный из CSV-файла"},
    {HelpCheck, "check a template, and the data for it, for what would print wrong labels",
     "проверить шаблон и данные на то, что испортит этикетки"},
    {CheckPictureNotFound,
     "no picture \"%s\": the template embeds none of that name and there is no file %s; the "
     "label would print an empty frame instead",
     "нет картинки \"%s\": в шаблоне нет встроенной картинки с таким именем и нет файла %s; на "
     "этикетке вместо неё напечаталась бы пустая рамка"},
    {CheckPictureUnreadable,
     "picture \"%s\" cannot be read (%s); the label would print an empty frame instead",
     "картинку \"%s\" не удаётся прочитать (%s); на этикетке вместо неё напечаталась бы пустая "
     "рамка"},
    {CheckRecordPicture, "record %d, field \"%s\": %s", "запись %d, поле \"%s\": %s"},
};

static_assert(std::size(kRows) == static_cast<size_t>(HostMessage::Count),
              "every host message needs its row");

}  // namespace

std::span<const HostMessageRow> HostMessageRows() {
  return kRows;
}

std::string_view HostMessagePattern(HostMessage id) {
  const HostMessageRow& row = kRows[static_cast<size_t>(id)];
  return UserLanguageIsRussian() ? row.Russian : row.English;
}

}  // namespace labelplu::host
