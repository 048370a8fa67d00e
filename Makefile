# Thin aliases for scripts/dev.sh.
.PHONY: run test sanitize
run:
	bash scripts/dev.sh run
test:
	bash scripts/dev.sh test
sanitize:
	bash scripts/dev.sh sanitize
