"""What a student who cannot see the screen does in an ear-trainer lesson: everything through the
accessibility tree, as a screen reader does it. Answers are given with the actions of the answer
buttons and of the piano's keys (no pointer, no key of the keyboard); what the lesson says is
read from names and descriptions: the question pane names the question, then announces the
outcome; the countdown of a timed question reads its seconds; the section end dialog reads its
score.
"""

import re
import time

from cantorela_user import QUESTION, VARIANT

# The question pane before and after the answer.
ASKED = re.compile(r"^Listen: an? (?P<what>note|interval|chord|scale)$")
OUTCOME = re.compile(r"^(?:Your answer: (?P<given>.+), (?P<verdict>right|wrong)\.(?: Asked: (?P<asked>.+))?"
                     r"|No answer, out of time\. Asked: (?P<missed>.+))$")
COUNTDOWN = "Time left"
SECONDS_LEFT = re.compile(r"^(\d+) seconds? left$")
SCORE = re.compile(r"^Total score (?P<percent>\d+)%: (?P<verdict>.+)$")
# The key played for a note: any key is an answer, right or wrong.
PIANO_KEY = "C4"


class ListeningUser:
    def __init__(self, screen, announcements, seconds):
        self.screen = screen
        self.announcements = announcements
        self.seconds = seconds
        self.countdowns = []  # (description, value, maximum) of the timed questions' countdowns
        self._next_variant = 0

    def open_lesson(self, learn_button):
        self.screen.act(self.screen.wait_for("push button", learn_button, self.seconds(60)))

    # --- one snapshot of the screen -----------------------------------------------------------

    def _question(self, shown):
        """(status, pane, variant buttons, piano key) while a question takes an answer: the status says
        "Question n of m", the question no longer sounds (no "Listen" speaker), the pane names
        it and an answer control is enabled."""
        status = [c for c in shown if c.role == "label" and QUESTION.match(c.name)
                  and c.description == "Answer status"]
        pane = [c for c in shown if ASKED.match(c.name)]
        if not status or not pane or any(c.name == "Listen" for c in shown):
            return None
        buttons = [c for c in shown if c.role == "push button" and VARIANT.match(c.name) and c.enabled]
        in_piano = False
        key = None
        for c in shown:
            in_piano = in_piano or (c.role == "panel" and c.name == "Piano keyboard")
            if in_piano and c.role == "push button" and c.name == PIANO_KEY and c.enabled:
                key = c
        return (status[0].name, pane[0], buttons, key) if buttons or key else None

    @staticmethod
    def _score(shown):
        return next((c for c in shown if c.role == "dialog" and SCORE.match(c.name)), None)

    def _read_countdown(self, shown):
        for c in shown:
            if c.name == COUNTDOWN and c.role == "progress bar":
                bar = c.accessible
                self.countdowns.append((c.description, bar.get_current_value(), bar.get_maximum_value()))

    # --- answering ----------------------------------------------------------------------------

    def answer(self, answers):
        """Answers the next question, a note on the piano's key and anything else with the next
        variant button, and returns (the question the pane named, the outcome it announced); None
        once the section end dialog shows instead."""
        def next_question():
            shown = self.screen.controls()
            if self._score(shown):
                return ("end",)
            question = self._question(shown)
            return ("question", shown, *question) if question else None

        found = self.screen.wait_until(next_question, "a question that takes an answer, or the score",
                                       self.seconds(60))
        if found[0] == "end":
            return None
        _, shown, status, pane, buttons, key = found
        asked = pane.name
        self._read_countdown(shown)
        if ASKED.match(asked).group("what") == "note" and key is not None:
            control, given = key, PIANO_KEY
            answers.by_piano += 1
        else:
            control = buttons[self._next_variant % len(buttons)]
            given = VARIANT.sub("", control.name)
            self._next_variant += 1
            answers.by_button += 1

        # The outcome is announced as the pane's new name. An action that came a moment after the
        # lesson stopped taking answers does nothing: it is repeated while the question is still
        # asked (a judged answer renames the pane at once, so none is judged twice).
        def still_asked():
            shown = self.screen.controls()
            return any(c.name == asked for c in shown) and any(c.name == status for c in shown)

        before = len(self.announcements.heard(OUTCOME))
        self.screen.act(control)
        retry_at = [time.monotonic() + self.seconds(3)]

        def announced():
            heard = self.announcements.heard(OUTCOME)[before:]
            if heard:
                return heard[0]
            if time.monotonic() > retry_at[0] and still_asked():
                self.screen.act(control)
                retry_at[0] = time.monotonic() + self.seconds(3)
            return None

        outcome = self.screen.wait_until(announced, f"the outcome of {given!r} for {asked!r}",
                                         self.seconds(30))
        verdict = OUTCOME.match(outcome).group("verdict") or "out of time"
        answers.log.append((asked, given, outcome))
        if verdict == "right":
            answers.right += 1
        else:
            answers.wrong += 1
        return asked, given, outcome

    def score(self):
        """The section end dialog once it shows."""
        return self.screen.wait_until(lambda: self._score(self.screen.controls()), "the section end dialog",
                                      self.seconds(30))

    def press(self, name, within=None):
        """Presses the button `name`, the first showing, or the first inside control `within`."""
        if within is None:
            button = self.screen.wait_for("push button", name, self.seconds(30))
        else:
            button = next(c for c in self.screen.controls_in(within)
                          if c.role == "push button" and c.name == name)
        self.screen.act(button)
