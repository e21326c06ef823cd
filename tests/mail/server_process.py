"""Starting and stopping the loopback servers of the end-to-end tests (the mail service, the
SMTP sink)."""
import select
import subprocess


def start(command, env):
    """Starts a server and returns it with the HOST:PORT it prints once it listens."""
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
    ready, _, _ = select.select([process.stdout], [], [], 15)
    line = process.stdout.readline().decode() if ready else ""
    if not line.startswith("listening on "):
        process.kill()
        raise RuntimeError("%s did not start: %r" % (command[0], line))
    return process, line.split()[-1]


def stop(process):
    """Asks a server to stop; returns its log. It must stop cleanly (under the sanitizers too)."""
    process.terminate()
    try:
        _, log = process.communicate(timeout=10)
    except subprocess.TimeoutExpired:
        process.kill()
        _, log = process.communicate()
    if process.returncode != 0:
        raise AssertionError("exit status %d: %s" % (process.returncode, log.decode(errors="replace")))
    return log
