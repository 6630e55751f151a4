#!/usr/bin/python3
"""Drives the real cantorela executable as a user does: under a virtual X server, with a home
folder of its own, clicking the controls that the accessibility tree shows, and then reads the
files the program left behind.

    test_program_drive.py PATH_TO_CANTORELA [unittest options]

Exit status 77 (skipped) when Xvfb is not installed or the accessibility bus cannot start on the
virtual desktop; any other missing tool is a failure.
Environment: CANTORELA_DRIVE_TIMEOUT_SCALE multiplies every deadline (slow sanitizer builds);
CANTORELA_KEEP_DESKTOP=1 keeps the temporary home folders and the logs for a look afterwards;
CANTORELA_DRIVE_TRACE=1 prints every click.
"""

import importlib.util
import os
import shutil
import signal
import sys
import tempfile
import time
import unittest

SKIPPED = 77
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from virtual_desktop import AccessibilityBusError, VirtualDesktop, stop_all  # noqa: E402
from cantorela_program import CantorelaProgram  # noqa: E402
from cantorela_user import HOME_SCREEN, QUESTION, TRAINERS, Answers, CantorelaUser  # noqa: E402
from listening_user import OUTCOME, SCORE, SECONDS_LEFT, ListeningUser  # noqa: E402

EXECUTABLE = None
QUESTIONS_PER_LESSON = 3
OWN_DEADLINE_S = 225
SCALE = float(os.environ.get("CANTORELA_DRIVE_TIMEOUT_SCALE", "1") or "1")

# A short ear-trainer lesson: two notes, timed, then two chords; no difficulty dialog, both the
# piano and the answer buttons, and after a mistake the lesson goes on by itself a second later.
EAR_LESSON_NOTES = 2
EAR_LESSON_CHORDS = 2
EAR_LESSON_SECONDS = 60
EAR_LESSON_SETTINGS = {
    "GlobalSetting": {
        "Settings.ShowDifficultyDialog": "false",
        "Settings.HideMidiDialog": "true",
        "Settings.Answer.GKC": "true",
        "Settings.Answer.MultipleChoice": "true",
    },
    "Excersises": {
        r"NoteTrainer\OnWrongAnswerPolicy\Settings.WrongAnswerPolicy.Continue": "true",
        r"NoteTrainer\OnWrongAnswerPolicy\Settings.WrongAnswerPolicy.Delay": "1000",
        r"EarTrainer\SingleNotes\Duration\Duration.QuestionsValue": str(EAR_LESSON_NOTES),
        r"EarTrainer\SingleNotes\Duration\Duration.SecondsValue": str(EAR_LESSON_SECONDS),
        r"EarTrainer\Interval\Duration\Duration.QuestionsValue": "0",
        r"EarTrainer\Chord\Duration\Duration.QuestionsValue": str(EAR_LESSON_CHORDS),
        r"EarTrainer\Chord\Duration\Duration.SecondsValue": "0",
        r"EarTrainer\Scales\Duration\Duration.QuestionsValue": "0",
        r"EarTrainer\Tempo\Duration\Duration.QuestionsValue": "0",
    },
}


def seconds(value):
    return value * SCALE


class ProgramDriveTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # One desktop for the whole run: the accessibility library connects to the bus of the
        # environment it is loaded in and keeps that connection. Each program run gets a home
        # folder of its own.
        cls.desktop = VirtualDesktop()
        try:
            cls.desktop.__enter__()
        except AccessibilityBusError as error:
            # Every case finds the program's controls on that bus.
            raise unittest.SkipTest(str(error))
        os.environ["DISPLAY"] = cls.desktop.display
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = cls.desktop.bus_address
        import accessible_screen
        cls.screens = accessible_screen

    @classmethod
    def tearDownClass(cls):
        cls.desktop.stop()

    def setUp(self):
        self.home = tempfile.mkdtemp(prefix="home-", dir=self.desktop.root)
        self.program = None

    def start_program(self, run_number=1, settings=None):
        """Starts cantorela in this test's home folder (with a settings file written from
        `settings` first, if given) and waits until its widgets are on the accessibility bus."""
        self.program = CantorelaProgram(self.desktop, EXECUTABLE, self.home)
        if settings:
            self.program.write_settings(settings)
        self.program.start(run_number)
        self.addCleanup(self.program.kill)
        screen = self.screens.AccessibleScreen(self.desktop, self.program.pid)
        screen.wait_until(lambda: screen.application() is not None or not self.program.running(),
                          "cantorela on the accessibility bus", seconds(60))
        if not self.program.running():
            self.fail_with_log("cantorela ended at start")
        return screen

    def fail_with_log(self, message):
        self.fail(f"{message}\n--- cantorela's output ---\n{self.program.log() if self.program else ''}")

    def user(self, screen):
        return CantorelaUser(screen, seconds)

    def assert_ends(self, how):
        status = self.program.wait_exit(seconds(30))
        if status != 0:
            self.fail_with_log(f"cantorela ended with status {status} after {how}")

    def assert_statistics(self, answers_by_trainer, when):
        """Both statistics files hold, per trainer, as many right and wrong answers as the
        screen judged."""
        for name in ("stats.xml", "statsLocal.xml"):
            root = self.program.xml(name)
            self.assertIsNotNone(root, f"{name} missing or not whole {when}")
            self.assertEqual(root.tag, "ex_stat")
            for trainer, _, _ in TRAINERS:
                answers = answers_by_trainer.get(trainer, Answers())
                entries = [e for e in root.iter("entry") if e.get("exId") == str(trainer)]
                correct = sum(int(e.get("correct")) for e in entries)
                wrong = sum(int(e.get("wrong")) for e in entries)
                self.assertEqual((correct, wrong), (answers.right, answers.wrong),
                                 f"{name}, trainer {trainer}, (right, wrong) {when}; "
                                 f"answers given: {answers.log}")

    def report(self, what, answers):
        """Says in the test's output what was answered, for a look at a failure."""
        print(f"\n  {what}: {answers.right} right, {answers.wrong} wrong; "
              + ", ".join(f"{asked}: {key} {verdict}" for asked, key, verdict in answers.log),
              file=sys.stderr)

    def resume_record(self):
        """The keys of the resume record, from whichever group of the settings holds them."""
        record = {}
        for group in self.program.settings().values():
            for key in ("XMState.LastState", "XMState.ExerciseID", "XMState.ExercisePosition"):
                if key in group:
                    record[key] = group[key]
        return record

    def test_lessons_of_all_trainers_then_exit_button(self):
        screen = self.start_program()
        user = self.user(screen)
        user.wait_for_home()
        answers = {}
        for trainer, _, learn in TRAINERS:
            user.open_lesson(learn)
            answers[trainer] = Answers()
            for _ in range(QUESTIONS_PER_LESSON):
                user.answer(answers[trainer])
            self.report(learn, answers[trainer])
            user.leave_lesson()
        # Both ways of answering were used: the piano (notes, ear) and the buttons (symbols).
        self.assertGreater(sum(a.by_piano for a in answers.values()), 0)
        self.assertGreater(sum(a.by_button for a in answers.values()), 0)
        user.exit_program()
        self.assert_ends("the exit button")

        self.assert_statistics(answers, "after the exit button")
        telemetry = self.program.xml("tstats.xml")
        self.assertIsNotNone(telemetry, "tstats.xml missing or not whole")
        self.assertEqual(telemetry.get("appLaunchCount"), "1")
        usage = {e.get("id"): e for e in telemetry.iter("exercise")}
        for trainer, _, _ in TRAINERS:
            self.assertIn(str(trainer), usage, "tstats.xml has no usage of a trainer")
            self.assertEqual(usage[str(trainer)].get("exLaunchCount"), "1", f"trainer {trainer}")
            self.assertEqual(usage[str(trainer)].get("quizLaunchCount"), "0", f"trainer {trainer}")
        # Left from the home screen: nothing to resume.
        self.assertEqual(self.resume_record().get("XMState.LastState"), "3", self.resume_record())

    def test_sigterm_in_a_lesson_keeps_the_answers_and_the_lesson_resumes(self):
        trainer, trainer_name, learn = TRAINERS[1]
        screen = self.start_program(1)
        user = self.user(screen)
        user.wait_for_home()
        user.open_lesson(learn)
        answers = Answers()
        for _ in range(QUESTIONS_PER_LESSON):
            user.answer(answers)
        self.report(learn, answers)
        self.program.terminate()
        self.assert_ends("SIGTERM in a lesson")

        self.assert_statistics({trainer: answers}, "after SIGTERM")
        self.assertIsNotNone(self.program.xml("tstats.xml"), "tstats.xml missing or not whole after SIGTERM")
        record = self.resume_record()
        self.assertEqual(record.get("XMState.LastState"), "2", record)
        self.assertEqual(record.get("XMState.ExerciseID"), str(trainer), record)
        self.assertGreater(int(record.get("XMState.ExercisePosition", "0")), 0, record)

        # The next start goes straight back into that lesson, which waits behind the play card
        # (and the notice of the missing MIDI keyboard) until Play; the answers are still there
        # after it ends the ordinary way.
        screen = self.start_program(2)
        user = self.user(screen)
        pressed_at = [0.0]
        def going_on():
            shown = screen.controls()
            if user.confirm_notice(shown):
                return False
            names = {c.name for c in shown}
            # The trainer's name shows as the tool bar's caption; the home screen is gone.
            if trainer_name not in names or HOME_SCREEN in names:
                return False
            if any(c.description == "Answer status" for c in shown if c.role == "label" and QUESTION.match(c.name)):
                return True
            if "Paused" in names and time.monotonic() > pressed_at[0]:
                screen.key("space")
                pressed_at[0] = time.monotonic() + seconds(3)
            return False

        screen.wait_until(going_on, f"the {trainer_name} lesson resumed and going on", seconds(60))
        user.exit_program()
        self.assert_ends("the exit button after resuming")
        self.assert_statistics({trainer: answers}, "after resuming and quitting")

    def test_ear_lesson_through_screen_reader_actions_to_its_read_score(self):
        """A student who cannot see the screen takes an ear-trainer lesson with the actions of
        the accessibility tree alone, on the piano's keys and the answer buttons, hears each
        question named and each outcome announced, and reads the score at the section end."""
        trainer, _, learn = TRAINERS[1]
        screen = self.start_program(settings=EAR_LESSON_SETTINGS)
        announcements = self.screens.Announcements(self.program.pid)
        self.addCleanup(announcements.stop)
        user = ListeningUser(screen, announcements, seconds)
        user.open_lesson(learn)
        answers = Answers()
        asked = []
        while (turn := user.answer(answers)) is not None:
            question, given, outcome = turn
            asked.append(question)
            said = OUTCOME.match(outcome)
            self.assertIn(said.group("given"), (given, None), outcome)
            # After a mistake the pane says what was asked: never the answer given.
            self.assertNotEqual(said.group("asked") or said.group("missed"), given, outcome)
        self.report("ear lesson by screen reader", answers)
        if os.environ.get("CANTORELA_DRIVE_TRACE") == "1":
            print(f"  announced: {announcements.heard()}", file=sys.stderr)

        # The pane named the questions without giving them away, the notes section's first.
        self.assertEqual(asked, ["Listen: a note"] * EAR_LESSON_NOTES
                         + ["Listen: a chord"] * EAR_LESSON_CHORDS)
        self.assertEqual((answers.by_piano, answers.by_button), (EAR_LESSON_NOTES, EAR_LESSON_CHORDS))
        # The notes' countdown reads its seconds, as words and as a value within the limit (read
        # one after the other: a second may pass between them).
        self.assertEqual(len(user.countdowns), EAR_LESSON_NOTES, user.countdowns)
        for words, value, maximum in user.countdowns:
            read = SECONDS_LEFT.match(words or "")
            self.assertIsNotNone(read, words)
            self.assertLessEqual(abs(int(read.group(1)) - value), 1, (words, value))
            self.assertEqual(maximum, EAR_LESSON_SECONDS)
            self.assertTrue(0 < value <= maximum, value)

        # The section end dialog reads the whole score, as the answers were judged.
        dialog = user.score()
        total = answers.right + answers.wrong
        score = SCORE.match(dialog.name)
        self.assertEqual(int(score.group("percent")), answers.right * 100 // total, dialog.name)
        # Four answers: "Well done" (90 % and more) only when all were right.
        self.assertEqual(score.group("verdict"), "Well done" if answers.wrong == 0 else "Keep practising")
        self.assertRegex(dialog.description, rf"^{answers.right} right answers?, {answers.wrong} wrong\.$")

        user.press("Continue", within=dialog)
        screen.wait_for("push button", HOME_SCREEN, seconds(30))
        user.press("Exit")
        self.assert_ends("the exit button after the ear lesson")
        self.assert_statistics({trainer: answers}, "after the ear lesson")

    def test_second_start_raises_the_first_and_a_killed_copy_leaves_no_lock(self):
        first = self.start_program(1)
        self.user(first).wait_for_home()
        running = self.program

        # The same home (the same data folder): the second copy hands over and ends.
        second = CantorelaProgram(self.desktop, EXECUTABLE, self.home)
        second.start(2)
        self.addCleanup(second.kill)
        status = second.wait_exit(seconds(30))
        self.assertEqual(status, 0, second.log())
        self.assertTrue(running.running(), "the first copy ended")
        deadline = time.monotonic() + seconds(10)
        while "asked for this window" not in running.log() and time.monotonic() < deadline:
            time.sleep(0.05)
        self.assertIn("asked for this window", running.log())

        # A copy killed outright leaves its lock behind; the next start takes it over.
        running.process.send_signal(signal.SIGKILL)
        running.process.wait()
        screen = self.start_program(3)
        self.user(screen).wait_for_home()
        self.user(screen).exit_program()
        self.assert_ends("the exit button after a killed copy")


def main():
    global EXECUTABLE
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    EXECUTABLE = os.path.abspath(sys.argv.pop(1))
    if shutil.which("Xvfb") is None:
        print("SKIP: Xvfb is not installed (scripts/setup.sh installs xvfb)")
        return SKIPPED
    missing = [tool for tool in ("xdotool", "dbus-daemon", "dbus-send") if shutil.which(tool) is None]
    # Looked for, not loaded: loading connects to the accessibility bus of the environment,
    # which must be the test's own.
    if importlib.util.find_spec("gi") is None or importlib.util.find_spec("pyatspi") is None:
        missing.append("python3-pyatspi")
    if missing:
        print(f"FAIL: missing {', '.join(missing)} (scripts/setup.sh installs them)", file=sys.stderr)
        return 1
    if not os.access(EXECUTABLE, os.X_OK):
        print(f"FAIL: {EXECUTABLE} is not an executable", file=sys.stderr)
        return 1
    # Ended from outside (a runner's time-out, Ctrl+C) or running too long: the desktops and
    # everything in them are stopped before the process goes. The own deadline comes before
    # the runner's (240 s), so that a hang is reported with the screen's controls.
    def interrupt(signum, frame):
        raise KeyboardInterrupt(f"signal {signum}")

    def overtime(signum, frame):
        raise KeyboardInterrupt(f"the whole run took more than {OWN_DEADLINE_S} s")

    for stop_signal in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(stop_signal, interrupt)
    signal.signal(signal.SIGALRM, overtime)
    signal.alarm(OWN_DEADLINE_S)
    try:
        result = unittest.main(exit=False, verbosity=2).result
    finally:
        signal.alarm(0)
        stop_all()
    if result.wasSuccessful() and result.skipped and result.testsRun <= len(result.skipped):
        print(f"SKIP: {result.skipped[0][1]}")
        return SKIPPED
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
