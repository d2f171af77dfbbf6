#!/usr/bin/python3
# Reads and drives the running program as a screen reader does, through the accessibility bus
# only (with_accessibility_bus.sh sets it up): finds the windows and their parts by role and
# name, reads the three values by their captions, hears nothing of the clock's ticking, presses
# buttons and ticks boxes through their actions, types through the input's editable text, and
# reads the conversion's results.
import datetime
import re
import sys

from desktop_client import Atspi, await_node, check, find, find_all, press, program, pump, verdict, window


def text_of(node):
    node.clear_cache()
    return Atspi.Text.get_text(node, 0, -1) if "Text" in node.get_interfaces() else None


def labelled_by(node):
    names = []
    for relation in node.get_relation_set():
        if relation.get_relation_type() == Atspi.RelationType.LABELLED_BY:
            names += [relation.get_target(i).get_name() for i in range(relation.get_n_targets())]
    return names


def main_window_reads_its_values(clock):
    values = {caption: find(clock, "label", caption)
              for caption in ("Aktuelle Zeit", "Mein Sternzeitformat", "Anderes Sternzeitformat")}
    if None in values.values():
        return
    for caption, value in values.items():
        check(labelled_by(value) == [caption + ":"], f"{caption} is labelled by its caption")
    await_node(lambda: text_of(values["Aktuelle Zeit"]) or None, "the clock shows a time")
    shown = text_of(values["Aktuelle Zeit"])
    try:
        moment = datetime.datetime.strptime(shown, "%d.%m.%Y - %H:%M:%S")
        check(abs((datetime.datetime.now() - moment).total_seconds()) < 5, f"clock {shown!r} shows now")
    except ValueError:
        check(False, f"clock {shown!r} reads as a time")
    check(re.fullmatch(r"\d{6},\d{4}", text_of(values["Mein Sternzeitformat"]) or ""),
          f"own-format stardate {text_of(values['Mein Sternzeitformat'])!r}")
    check(re.fullmatch(r"-?\d+\.\d{6}", text_of(values["Anderes Sternzeitformat"]) or ""),
          f"formula stardate {text_of(values['Anderes Sternzeitformat'])!r}")

    # Two seconds of ticking: the clock moves on, and nothing is announced.
    heard = []
    listener = Atspi.EventListener.new(lambda event: heard.append(event.type))
    for kind in ("object:property-change:accessible-name", "object:property-change:accessible-description",
                 "object:text-changed", "object:visible-data-changed"):
        listener.register(kind)
    pump(2.5)
    check(text_of(values["Aktuelle Zeit"]) != shown, "the clock moves on")
    check(not heard, f"the ticking clock stays quiet, heard {heard}")
    for kind in ("object:property-change:accessible-name", "object:property-change:accessible-description",
                 "object:text-changed", "object:visible-data-changed"):
        listener.deregister(kind)


def every_picture_is_named(frame):
    for picture in find_all(frame, "image"):
        check(picture.get_name() != "", f"a picture in {frame.get_name()!r} has a name")


def conversion_dialog_converts(dialog):
    field = find(dialog, "text", "Eingabe")
    if field is None:
        return
    check("05.12.2013 12:00" in field.get_description(), "the input says what to type")
    date = "05.12.2013 12:00"
    Atspi.EditableText.insert_text(field, 0, date, len(date))
    pump(0.2)
    check(text_of(field) == date, f"typed {text_of(field)!r}")
    for caption in ("Datum->Sternzeit", "Mein Format", "Nach der Formel"):
        box = find(dialog, "check box", caption)
        if box:
            press(box)
            check(box.get_state_set().contains(Atspi.StateType.CHECKED), f"{caption} is ticked")
    press(find(dialog, "push button", "Berechnen"))
    for line in ("Ausgabe von 05.12.2013 12:00 ist:", "Mein Format: 201312,0512", "Anderes Format: -147073.234375"):
        await_node(lambda: find_all(dialog, "label", line) or None, f"the dialog shows {line!r}", 5)


def main():
    await_node(program, "the program joins the desktop")
    clock = await_node(lambda: window("Sternzeit"), "the main window is named Sternzeit")
    main_window_reads_its_values(clock)
    every_picture_is_named(clock)

    press(find(clock, "push button", "Berechnen"))
    dialog = await_node(lambda: window("Umrechnung"), "the conversion dialog is named Umrechnung")
    conversion_dialog_converts(dialog)
    every_picture_is_named(dialog)

    press(find(clock, "push button", "Info"))
    about = await_node(lambda: window("Info"), "the info dialog is named Info")
    every_picture_is_named(about)
    find(about, "push button", "Schließen")

    return verdict()


sys.exit(main())
