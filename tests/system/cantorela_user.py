"""What a user of Cantorela does, step by step, through the controls the accessibility tree
shows: opening a trainer's lesson at a level, answering on the on-screen piano or with the
multiple-choice buttons, leaving the lesson and quitting. Each step waits for the screen to show
its outcome and tells the test what the screen said (right or wrong).
"""

import re
import time
from dataclasses import dataclass, field

TRAINERS = (
    # (trainer index, name in the tool bar, learn button)
    (0, "Note Trainer", "Learn reading notes"),
    (1, "Ear Trainer", "Learn recognizing notes by ear"),
    (2, "Music Symbols", "Learn various music symbols"),
)

QUESTION = re.compile(r"^Question (\d+) of (\d+)$")
VERDICT = re.compile(r"^(Right|Wrong|Out of time\.)$")
VARIANT = re.compile(r"^Answer \d+: ")
HOME_SCREEN = "Learn reading notes"
NO_MIDI_NOTICE = "No MIDI keyboard found"
HINT = re.compile(r"^Press spacebar for next question")
RETRY_SECONDS = 1.5
# White keys of the middle of the piano, and one black key: a click lands on the lower part of
# a white key (below the black keys) and in the middle of a black one.
PIANO_KEYS = ("C4", "E4", "G4", "C♯4/D♭4", "A3", "D4", "F4", "B3")


@dataclass
class Answers:
    """What the screen said about the answers given to one trainer."""
    right: int = 0
    wrong: int = 0
    by_piano: int = 0
    by_button: int = 0
    log: list = field(default_factory=list)  # (question, control clicked, verdict)


class CantorelaUser:
    def __init__(self, screen, seconds):
        self.screen = screen
        self.seconds = seconds  # scales a deadline for slow builds
        self._next_key = 0
        self._next_variant = 0
        self._notice_confirmed = False  # clicked "OK" on the notice now fading out

    # --- home screen and lessons --------------------------------------------------------------

    def wait_for_home(self):
        return self.screen.wait_for("push button", HOME_SCREEN, self.seconds(60))

    def open_lesson(self, learn_button, level="Level 1"):
        """Clicks the learn button, picks the level in the difficulty dialog, and waits for the
        first question."""
        self.screen.click(self.screen.wait_for("push button", learn_button, self.seconds(30)))
        self.screen.click(self.screen.wait_for("push button", level, self.seconds(30)))
        self.screen.wait_gone("push button", level, self.seconds(30))

        self.screen.wait_until(lambda: self._answerable() is not None, "the lesson's first question",
                               self.seconds(60))

    def leave_lesson(self):
        self.screen.click(self.screen.wait_for("push button", "Home", self.seconds(30)))
        self.wait_for_home()

    def exit_program(self):
        self.screen.click(self.screen.wait_for("push button", "Exit", self.seconds(30)))

    # --- questions ----------------------------------------------------------------------------

    # Each of these reads one snapshot of the controls on screen (`shown`), taken afresh when
    # not given: a walk of the tree costs a few hundred calls over the bus.

    def _status(self, shown=None):
        for c in self.screen.controls() if shown is None else shown:
            # The description costs a call over the bus: read it only for likely labels.
            if c.role == "label" and (QUESTION.match(c.name) or VERDICT.match(c.name)) \
                    and c.description == "Answer status":
                return c.name
        return None

    def _question_status(self, shown=None):
        status = self._status(shown)
        return status if status and QUESTION.match(status) else None

    def _answer_controls(self, shown=None):
        """("button", enabled variant buttons) or ("piano", enabled piano keys by name), or None
        while the question takes no answer."""
        controls = self.screen.controls() if shown is None else shown
        variants = [c for c in controls if c.role == "push button" and VARIANT.match(c.name) and c.enabled]
        if variants:
            return ("button", variants)
        in_piano = False
        keys = {}
        for c in controls:
            if c.role == "panel" and c.name == "Piano keyboard":
                in_piano = True
                continue
            if in_piano and c.role == "push button" and c.enabled and c.name in PIANO_KEYS:
                keys[c.name] = c
        return ("piano", keys) if keys else None

    def confirm_notice(self, shown):
        """Confirms the notice about the missing MIDI keyboard when it shows (a trainer that
        takes answers from a MIDI keyboard shows it once, some time after its lesson starts);
        True when it was there."""
        if not any(c.role == "label" and c.name == NO_MIDI_NOTICE for c in shown):
            self._notice_confirmed = False
            return False
        ok = [c for c in shown if c.role == "push button" and c.name == "OK" and c.enabled]
        if ok and not self._notice_confirmed:
            self.screen.click(ok[0])
            self._notice_confirmed = True
        return True

    def _answerable(self, shown=None):
        """The question's status text while it takes an answer: no notice covers the lesson, a
        question is on screen, the heard question no longer sounds (no "Listen" speaker), and
        answer controls are enabled."""
        shown = self.screen.controls() if shown is None else shown
        if self.confirm_notice(shown):
            return None
        self._notice_confirmed = False
        status = self._question_status(shown)
        if not status or any(c.name == "Listen" for c in shown):
            return None
        return status if self._answer_controls(shown) else None

    def _verdict(self, shown=None):
        status = self._status(shown)
        return status if status and VERDICT.match(status) else None

    def answer(self, answers):
        """Answers the question on screen with the controls it offers (the piano's keys or the
        multiple-choice buttons), waits for the verdict and goes on to the next question: at
        once after a right answer, with the space bar after a wrong one. Returns the verdict."""
        def answerable():
            shown = self.screen.controls()
            asked = self._answerable(shown)
            return (asked, self._answer_controls(shown)) if asked else None

        asked, (kind, controls) = self.screen.wait_until(answerable, "a question that takes an answer",
                                                         self.seconds(60))
        if kind == "button":
            control = controls[self._next_variant % len(controls)]
            self._next_variant += 1
        else:
            name = PIANO_KEYS[self._next_key % len(PIANO_KEYS)]
            self._next_key += 1
            control = controls.get(name) or next(iter(controls.values()))
        white = kind == "piano" and "/" not in control.name
        self.screen.click(control, fy=0.85 if white else 0.5)

        # The tree can show a control as enabled a moment after the screen stopped taking
        # answers (between two refreshes of the screen's state); such a click does nothing.
        # While the same question is still asked and its controls still take answers, the
        # click is repeated: a judged answer disables them at once, so none is judged twice.
        # The repeat comes after a short while that no slow build stretches, since a timed
        # question would run out meanwhile; should it run out all the same, that is its verdict.
        def verdict_or_retry():
            shown = self.screen.controls()
            verdict = self._verdict(shown)
            if verdict:
                return verdict
            # (This also confirms the MIDI notice should it have come up over the lesson.)
            if self._answerable(shown) == asked and time.monotonic() > retry_at[0]:
                self.screen.click(control, fy=0.85 if white else 0.5)
                retry_at[0] = time.monotonic() + RETRY_SECONDS
            return None

        retry_at = [time.monotonic() + RETRY_SECONDS]
        verdict = self.screen.wait_until(verdict_or_retry, f"the verdict on {control.name!r} ({asked})",
                                         self.seconds(30))
        answers.log.append((asked, control.name, verdict))
        if kind == "button":
            answers.by_button += 1
        else:
            answers.by_piano += 1
        if verdict == "Right":
            answers.right += 1
        else:  # wrong, or out of time
            answers.wrong += 1

        # The lesson goes on by itself, or, after a mistake when the settings say so, waits for
        # the space bar and says so.
        def next_or_hint():
            shown = self.screen.controls()
            status = self._question_status(shown)
            if status and status != asked:
                return "next"
            if verdict != "Right" and any(c.role == "label" and HINT.match(c.name) for c in shown):
                return "hint"
            return None

        if self.screen.wait_until(next_or_hint, f"the question after {asked}", self.seconds(30)) == "hint":
            self.screen.key("space")
            self.screen.wait_until(lambda: next_or_hint() == "next", f"the question after {asked}",
                                   self.seconds(30))
        return verdict
